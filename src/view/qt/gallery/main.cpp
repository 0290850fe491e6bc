// vcl-gallery [--traditional] [--screenshot FILE]
//   Shows the gallery form in Qt windows. --traditional shows it as a traditional-Chinese
//   system would (code page 950, converted through the conversion library); --screenshot
//   renders the form offscreen into a PNG file and exits.
#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <string>

#include "Gallery.h"
#include "QtDialogService.h"
#include "QtModalRunner.h"
#include "QtTextService.h"
#include "QtView.h"

int main(int argc, char** argv) {
  bool traditional = false;
  std::string screenshot;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--traditional") {
      traditional = true;
    } else if (arg == "--screenshot" && i + 1 < argc) {
      screenshot = argv[++i];
    } else {
      std::cerr << "usage: vcl-gallery [--traditional] [--screenshot FILE]\n";
      return 2;
    }
  }
  // The system code page decides the direction of the conversion.
  if (traditional) setenv("ORVANT_CODEPAGE", "950", 1);
  if (!screenshot.empty() && !getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  QApplication app(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  TQtView view;
  TQtTextService text;
  TQtModalRunner runner(view);
  TQtDialogService dialogs;
  SetTextService(&text);
  SetModalRunner(&runner);
  SetDialogService(&dialogs);

  int result = 0;
  TForm* form = nullptr;
  try {
    form = CreateGalleryForm(traditional);
  } catch (const std::exception& e) {
    std::cerr << "vcl-gallery: " << e.what() << "\n";
    result = 1;
  }
  if (form) {
    Application()->SetMainForm(form);
    form->Show();
    if (!screenshot.empty()) {
      if (!SaveFormPicture(view, form, screenshot)) {
        std::cerr << "vcl-gallery: cannot write " << screenshot << "\n";
        result = 1;
      }
    } else {
      // Closing the main form ends the application.
      QTimer watch;
      QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (Application()->Terminated() || !form->Visible()) app.quit();
      });
      watch.start(50);
      result = QApplication::exec();
    }
    form->Free();
  }
  SetDialogService(nullptr);
  SetModalRunner(nullptr);
  SetTextService(nullptr);
  return result;
}

#include "QtModalRunner.h"

#include <QEventLoop>
#include <QTimer>

#include "QtView.h"

void TQtModalRunner::RunModal(TCustomForm* form) {
  view_.Mirror(form);  // shown (and modal) from the model's announcements
  QEventLoop loop;
  QTimer step;
  step.setInterval(10);
  QObject::connect(&step, &QTimer::timeout, &loop, [&] {
    bool done = true;
    RunGuarded([&] { done = form->ModalStep(); });
    if (done) loop.quit();
  });
  step.start();
  loop.exec();
}

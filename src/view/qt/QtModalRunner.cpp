#include "QtModalRunner.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include "QtView.h"

void TQtModalRunner::RunModal(TCustomForm* form) {
  QPointer<QWidget> window = view_.Mirror(form);
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

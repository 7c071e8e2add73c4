#include "platform/linux/gui/QtApplication.h"

#include <QApplication>
#include <QMetaObject>

namespace plinka {

void QtApplication::beep() {
    QApplication::beep();
}

void QtApplication::terminate() {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
}

}  // namespace plinka

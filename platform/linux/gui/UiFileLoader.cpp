#include "platform/linux/gui/UiFileLoader.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QXmlStreamReader>

namespace plinka {
namespace {

// Reads the elements of one interface file into widgets; the first error stops it.
class UiReader {
  public:
    explicit UiReader(QIODevice* file) : xml_(file) {}

    std::unique_ptr<QWidget> read(QString* error) {
        std::unique_ptr<QWidget> window;
        if (xml_.readNextStartElement() && xml_.name() == QLatin1String("ui")) {
            while (xml_.readNextStartElement()) {
                if (xml_.name() == QLatin1String("widget") && !window) {
                    window.reset(readWidget(nullptr));
                } else {
                    xml_.skipCurrentElement();  // class name, resources, connections
                }
            }
        } else {
            fail("not an interface file");
        }
        if (!error_.isEmpty() || xml_.hasError() || !window) {
            if (error != nullptr) {
                *error = !error_.isEmpty() ? error_
                         : xml_.hasError() ? QStringLiteral("line %1: %2")
                                                 .arg(xml_.lineNumber())
                                                 .arg(xml_.errorString())
                                           : QStringLiteral("the interface file has no window");
            }
            return nullptr;
        }
        return window;
    }

  private:
    void fail(const QString& message) {
        if (error_.isEmpty()) {
            error_ = QStringLiteral("line %1: %2").arg(xml_.lineNumber()).arg(message);
        }
        xml_.raiseError(message);
    }

    // At a <widget>: the widget with its properties and layout, owned by the parent if any.
    QWidget* readWidget(QWidget* parent) {
        const QString className = xml_.attributes().value("class").toString();
        QWidget* widget = nullptr;
        if (className == QLatin1String("QWidget")) {
            widget = new QWidget(parent);
        } else if (className == QLatin1String("QCheckBox")) {
            widget = new QCheckBox(parent);
        } else if (className == QLatin1String("QPushButton")) {
            widget = new QPushButton(parent);
        } else if (className == QLatin1String("QLabel")) {
            widget = new QLabel(parent);
        } else {
            fail(QStringLiteral("unsupported widget class %1").arg(className));
            return nullptr;
        }
        widget->setObjectName(xml_.attributes().value("name").toString());
        while (xml_.readNextStartElement()) {
            if (xml_.name() == QLatin1String("property")) {
                readProperty(*widget);
            } else if (xml_.name() == QLatin1String("layout")) {
                readLayout(*widget, nullptr);
            } else {
                fail(QStringLiteral("unsupported element %1").arg(xml_.name()));
            }
        }
        return widget;
    }

    // At a <layout>: set on the widget, or added to the enclosing layout.
    void readLayout(QWidget& widget, QBoxLayout* enclosing) {
        const QString className = xml_.attributes().value("class").toString();
        QBoxLayout* layout = nullptr;
        if (className == QLatin1String("QVBoxLayout")) {
            layout = new QVBoxLayout;
        } else if (className == QLatin1String("QHBoxLayout")) {
            layout = new QHBoxLayout;
        } else {
            fail(QStringLiteral("unsupported layout class %1").arg(className));
            return;
        }
        layout->setObjectName(xml_.attributes().value("name").toString());
        if (enclosing != nullptr) {
            enclosing->addLayout(layout);
        } else {
            widget.setLayout(layout);
        }
        while (xml_.readNextStartElement()) {
            if (xml_.name() != QLatin1String("item")) {
                fail(QStringLiteral("unsupported element %1 in a layout").arg(xml_.name()));
                continue;
            }
            while (xml_.readNextStartElement()) {
                if (xml_.name() == QLatin1String("widget")) {
                    if (QWidget* child = readWidget(&widget)) {
                        layout->addWidget(child);
                    }
                } else if (xml_.name() == QLatin1String("layout")) {
                    readLayout(widget, layout);
                } else {
                    fail(QStringLiteral("unsupported element %1 in a layout").arg(xml_.name()));
                }
            }
        }
    }

    // At a <property>: its one value, set on the object by name.
    void readProperty(QObject& object) {
        const QByteArray name = xml_.attributes().value("name").toLatin1();
        QVariant value;
        if (xml_.readNextStartElement()) {
            const QString type = xml_.name().toString();
            const QString text = xml_.readElementText();
            if (type == QLatin1String("string")) {
                value = text;
            } else if (type == QLatin1String("bool")) {
                value = text == QLatin1String("true");
            } else if (type == QLatin1String("number")) {
                value = text.toInt();
            } else {
                fail(QStringLiteral("unsupported value type %1 of property %2")
                         .arg(type, QString::fromLatin1(name)));
            }
            xml_.skipCurrentElement();
        }
        if (value.isValid() && !object.setProperty(name.constData(), value)) {
            fail(QStringLiteral("%1 has no property %2")
                     .arg(QString::fromLatin1(object.metaObject()->className()),
                          QString::fromLatin1(name)));
        }
    }

    QXmlStreamReader xml_;
    QString error_;
};

}  // namespace

std::unique_ptr<QWidget> loadUiFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QFile::ReadOnly)) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot open ") + path;
        }
        return nullptr;
    }
    return UiReader(&file).read(error);
}

}  // namespace plinka

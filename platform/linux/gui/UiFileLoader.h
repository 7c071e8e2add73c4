#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace plinka {

// Builds the window of a Qt Designer interface file (.ui) with Qt Widgets alone: the classes
// and properties our interface files use, so that no designer plugins (and with them Qt Quick)
// are loaded. Widgets: QWidget, QCheckBox, QPushButton, QLabel; layouts: QVBoxLayout,
// QHBoxLayout, nested in items; properties whose value is a string, a bool or a number, set by
// name. Anything else is an error that names it.
std::unique_ptr<QWidget> loadUiFile(const QString& path, QString* error);

}  // namespace plinka

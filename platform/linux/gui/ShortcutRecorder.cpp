#include "platform/linux/gui/ShortcutRecorder.h"

#include <QKeyEvent>

#include "platform/linux/input/KeyMap.h"

namespace plinka {

namespace {

// X11 and Wayland key codes are evdev codes plus 8.
constexpr quint32 kEvdevOffset = 8;

CGEventFlags modifierFlags(Qt::KeyboardModifiers modifiers) {
    CGEventFlags flags = 0;
    flags |= modifiers.testFlag(Qt::ControlModifier) ? kCGEventFlagMaskControl : 0;
    flags |= modifiers.testFlag(Qt::AltModifier) ? kCGEventFlagMaskAlternate : 0;
    flags |= modifiers.testFlag(Qt::ShiftModifier) ? kCGEventFlagMaskShift : 0;
    flags |= modifiers.testFlag(Qt::MetaModifier) ? kCGEventFlagMaskCommand : 0;
    return flags;
}

bool isModifier(int key) {
    return key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift ||
           key == Qt::Key_Meta || key == Qt::Key_Super_L || key == Qt::Key_Super_R ||
           key == Qt::Key_AltGr;
}

}  // namespace

ShortcutRecorder::ShortcutRecorder(Recorded recorded, Listening listening, QWidget* parent)
    : QPushButton(parent), recorded_(std::move(recorded)), listening_(std::move(listening)) {
    connect(this, &QPushButton::clicked, this, [this] { setRecording(!recording_); });
    setRecording(false);
}

void ShortcutRecorder::setShortcutText(const QString& text) {
    shortcut_ = text;
    setRecording(recording_);
}

void ShortcutRecorder::setRecording(bool recording) {
    recording_ = recording;
    if (recording) {
        setListening(true);
    } else if (recordedScanCode_ == 0) {
        setListening(false);
    }
    setText(recording_ ? tr("Press the shortcut…") : shortcut_.isEmpty() ? tr("None") : shortcut_);
}

void ShortcutRecorder::keyPressEvent(QKeyEvent* event) {
    if (!recording_) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (isModifier(event->key())) {
        return;  // the key comes next
    }
    setRecording(false);
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        return;
    }
    if (event->nativeScanCode() <= kEvdevOffset) {
        return;  // no physical key behind it
    }
    if (const auto keyCode =
            keyCodeForEvdevCode(static_cast<int>(event->nativeScanCode() - kEvdevOffset))) {
        recordedScanCode_ = event->nativeScanCode();
        recorded_(KeyChord{modifierFlags(event->modifiers()), *keyCode});
    }
    setListening(recordedScanCode_ != 0);
}

void ShortcutRecorder::keyReleaseEvent(QKeyEvent* event) {
    if (recordedScanCode_ != 0 && event->nativeScanCode() == recordedScanCode_) {
        recordedScanCode_ = 0;
        setListening(recording_);
    }
    QPushButton::keyReleaseEvent(event);
}

void ShortcutRecorder::setListening(bool listening) {
    if (listening != isListening_) {
        isListening_ = listening;
        listening_(listening);
    }
}

// While recording, every chord is the recorder's, not a mnemonic's or a shortcut's.
bool ShortcutRecorder::event(QEvent* event) {
    if (recording_ && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}

void ShortcutRecorder::focusOutEvent(QFocusEvent* event) {
    recordedScanCode_ = 0;
    setRecording(false);
    QPushButton::focusOutEvent(event);
}

}  // namespace plinka

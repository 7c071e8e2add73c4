#pragma once

#include <QPushButton>
#include <functional>

#include "platform/KeyNames.h"

namespace plinka {

// A button that shows a shortcut and, once clicked, records the next key pressed with its
// modifiers, told by its physical key as the key stream names it. Escape or leaving the button
// ends the recording without a chord.
class ShortcutRecorder final : public QPushButton {
  public:
    using Recorded = std::function<void(const KeyChord& chord)>;
    // True from the click until the recording ends without a chord or the recorded key is
    // released: the keys pressed meanwhile are the recorder's, and the shortcut must not act on
    // them (the key stream may hear them before or after the window does).
    using Listening = std::function<void(bool listening)>;

    ShortcutRecorder(Recorded recorded, Listening listening, QWidget* parent = nullptr);
    // The shortcut shown while not recording; empty shows that there is none.
    void setShortcutText(const QString& text);
    bool isRecording() const { return recording_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void setRecording(bool recording);
    void setListening(bool listening);

    Recorded recorded_;
    Listening listening_;
    QString shortcut_;
    bool recording_ = false;
    bool isListening_ = false;
    quint32 recordedScanCode_ = 0;  // the recorded key, until it is released
};

}  // namespace plinka

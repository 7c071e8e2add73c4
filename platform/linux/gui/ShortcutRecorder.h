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

    ShortcutRecorder(Recorded recorded, QWidget* parent = nullptr);
    // The shortcut shown while not recording; empty shows that there is none.
    void setShortcutText(const QString& text);
    bool isRecording() const { return recording_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void setRecording(bool recording);

    Recorded recorded_;
    QString shortcut_;
    bool recording_ = false;
};

}  // namespace plinka

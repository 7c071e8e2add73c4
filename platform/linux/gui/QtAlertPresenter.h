#pragma once

#include "platform/Alert.h"

namespace plinka {

// Alerts as Qt message boxes, kept above every other window.
class QtAlertPresenter final : public AlertPresenter {
  public:
    int runModal(const Alert& alert) override;
    int runModalWithSuppression(const Alert& alert, bool& suppressionChecked) override;
    bool lastAlertAnswered() const override { return answered_; }

  private:
    bool answered_ = true;
};

}  // namespace plinka

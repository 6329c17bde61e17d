#pragma once
// What the clock's dialogs see of the clock window: one adapter over ClockForm for every
// dialog's host interface, so the dialogs never include the window.

#include "about/AboutForm.h"

namespace vireo {

class ClockForm;

class ClockDialogHost final : public AboutHost {
public:
    explicit ClockDialogHost(ClockForm& form) : form_(form) {}

    QRect ClockFrame() const override;
    bool ClockNormal() const override;
    QRect WorkArea() const override;
    QIcon ClockIcon() const override;
    void InformationSound() override;
    void OpenUrl(const QUrl& url) override;

private:
    ClockForm& form_;
};

}  // namespace vireo

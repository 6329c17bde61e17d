#pragma once
// One dialog of a kind at a time, held by its owner window: opened when none is open, the
// open one only brought forward otherwise. A dialog closed but not yet deleted no longer
// counts as the open one, so opening again then makes a new one.

#include <QPointer>

#include <functional>
#include <utility>

#include "platform/DialogPlacement.h"

namespace vireo {

template <typename T>
class SingleDialog {
public:
    // stillOpen tells a dialog that is closing from one that is open; none: open until deleted.
    explicit SingleDialog(std::function<bool(const T&)> stillOpen = nullptr) : stillOpen_(std::move(stillOpen)) {}

    // The open dialog brought forward, made first by make when there is none.
    template <typename Make>
    T* Open(Make&& make) {
        T* dialog = Current();
        if (!dialog) {
            dialog = make();
            dialog_ = dialog;
        }
        BringDialogForward(dialog);
        return dialog;
    }

    // The open dialog, or null.
    T* Current() const {
        T* dialog = dialog_.data();
        return dialog && (!stillOpen_ || stillOpen_(*dialog)) ? dialog : nullptr;
    }

private:
    QPointer<T> dialog_;
    std::function<bool(const T&)> stillOpen_;
};

}  // namespace vireo

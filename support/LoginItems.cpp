#include "support/LoginItems.h"

#include "base/FileUrl.h"
#include "platform/Bundle.h"
#include "platform/LoginItemsList.h"

namespace plinka {

bool LoginItems::findAnyReferenceTo(std::string_view referenceName) const {
    const auto list = service_.openSessionLoginItems();
    if (!list) {
        return false;
    }
    for (const auto& item : list->snapshot()) {
        const auto path = item->resolvedPath(kLoginItemResolveNoUserInteraction |
                                             kLoginItemResolveNoMountVolumes);
        if (path && path->ends_with(referenceName)) {
            return true;
        }
    }
    return false;
}

void LoginItems::removeAllReferencesTo(std::string_view referenceName) const {
    const auto list = service_.openSessionLoginItems();
    if (!list) {
        return;
    }
    // The walk goes over the snapshot while removal changes the live list.
    for (const auto& item : list->snapshot()) {
        const auto path = item->resolvedPath(0);
        if (path && path->ends_with(referenceName)) {
            list->remove(*item);
        }
    }
}

void LoginItems::changeBundleStatus(const Bundle& bundle, bool add) const {
    const std::string bundlePath = bundle.bundlePath();
    removeAllReferencesTo(FileUrl::lastPathComponent(bundlePath));
    if (!add) {
        return;
    }
    if (const auto list = service_.openSessionLoginItems()) {
        // A failed insertion is silent: the application is then simply not in the list.
        list->insertItemURLLast(FileUrl::fileURLWithPath(bundlePath));
    }
}

bool LoginItems::isLoginItem(const Bundle& bundle) const {
    return findAnyReferenceTo(FileUrl::lastPathComponent(bundle.bundlePath()));
}

}  // namespace plinka

// The one notifier of the process.
#include "menuview/params/storechanges.h"

namespace VelkoMenuView {

StoreChanges *StoreChanges::instance()
{
    static StoreChanges changes;
    return &changes;
}

} // namespace VelkoMenuView

#pragma once

#include <QString>

namespace vastrel {

// What the entry screen asks of the window that hosts it: the command states,
// record navigation and the navigation toolbar.
class CommandHost {
public:
    virtual ~CommandHost() = default;
    // Sets the enabled state of the commands for a state name ("awal", "new",
    // "edit", "open", "save", "delete", "undo").
    virtual void ControlToolBar(const QString& state) = 0;
    // Moves through the header or POS list: "first", "prev", "next", "last".
    virtual void NavigateHeader(const QString& key) = 0;
    virtual void showNavigation(bool visible) = 0;
};

} // namespace vastrel

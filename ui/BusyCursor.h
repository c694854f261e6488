#pragma once

#include <QApplication>

namespace vastrel {

// The busy cursor for as long as it lives, so that long work shows and every way out restores it.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace vastrel

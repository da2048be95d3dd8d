#pragma once

#include <functional>

class QWidget;

namespace arrowsel::widgets {

// Runs the body of a Qt event handler and shows any error it throws in the default error box of
// the message seam, so that no exception ever leaves an event handler and the window stays usable.
// Returns false when the body failed.
bool runGuarded(QWidget* parent, const std::function<void()>& work);

} // namespace arrowsel::widgets

#pragma once

class QWidget;

namespace vortiquo {

// While the exit panel Uscita shows, the Escape key anywhere in the window
// answers "No": it clicks NoUscire, so the panel's own handler runs. A
// window without the panel is left as it is.
void answerNoOnEscape(QWidget& window);

}  // namespace vortiquo

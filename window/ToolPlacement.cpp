#include "window/ToolPlacement.h"

#include <algorithm>
#include <array>

namespace vortiquo {

namespace {

// The part of `rect` inside `screen`, moved in as little as it can be.
QRect keptOnScreen(QRect rect, const QRect& screen)
{
    rect.moveLeft(std::clamp(rect.left(), screen.left(), std::max(screen.left(), screen.right() - rect.width() + 1)));
    rect.moveTop(std::clamp(rect.top(), screen.top(), std::max(screen.top(), screen.bottom() - rect.height() + 1)));
    return rect;
}

qint64 hidden(const QRect& tool, const QRect& program)
{
    const QRect overlap = tool.intersected(program);
    return overlap.isEmpty() ? 0 : qint64(overlap.width()) * overlap.height();
}

}  // namespace

QRect besideWindow(const QRect& program, const QSize& tool, const QRect& screen)
{
    // The four sides, in order of preference, each aligned with the
    // program's top or left edge, then pushed onto the screen.
    const std::array<QPoint, 4> corners = {
        QPoint(program.right() + 1, program.top()),
        QPoint(program.left() - tool.width(), program.top()),
        QPoint(program.left(), program.bottom() + 1),
        QPoint(program.left(), program.top() - tool.height()),
    };
    QRect best;
    qint64 leastHidden = -1;
    for (const QPoint& corner : corners) {
        const QRect placed = keptOnScreen(QRect(corner, tool), screen);
        const qint64 covered = hidden(placed, program);
        if (leastHidden < 0 || covered < leastHidden) {
            best = placed;
            leastHidden = covered;
        }
    }
    return best;
}

}  // namespace vortiquo

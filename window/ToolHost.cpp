#include "window/ToolHost.h"

#include <QAction>
#include <algorithm>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QWidget>

#include "window/RunPace.h"
#include "window/ToolPlacement.h"

namespace vortiquo {

namespace {

// Places a tool window, not yet shown, beside the program's window, taking
// the program's frame margins for the tool's too: a window manager gives both
// the same decorations, and the tool's are not known before it is shown.
void placeBeside(QWidget& tool, const QWidget& program)
{
    const QScreen* screen = program.screen();
    if (screen == nullptr)
        return;
    const QRect frame = program.frameGeometry();
    const QSize margins = frame.size() - program.geometry().size();
    const QRect placed = besideWindow(frame, tool.size() + margins, screen->availableGeometry());
    tool.move(placed.topLeft());
}

}  // namespace

ToolHost::ToolHost(QWidget& window, const Program& program, Sources sources)
    : QObject(&window), window_(window), program_(program), sources_(std::move(sources))
{
    window.installEventFilter(this);
}

QString ToolHost::fieldText(Field which) const
{
    const FieldTexts all = texts();
    const auto& text = all[static_cast<std::size_t>(which)];
    return text ? QString::fromStdString(*text) : QString();
}

RunPace* ToolHost::runPace(QObject& tool)
{
    auto* pace = new RunPace([this] { return running(); }, &tool);
    // After the run's own ending: what waits is shown once the window is done with it.
    connect(this, &ToolHost::runEnded, pace, &RunPace::runEnded, Qt::QueuedConnection);
    return pace;
}

int ToolHost::progressIntervalMs(int usualMs) const
{
    return running() ? RunShowIntervalMs : usualMs;
}

SimulationState ToolHost::start() const
{
    return fieldStart(state(), texts());
}

QWidget* ToolHost::toolWindow(const ToolWindow& tool) const
{
    for (const auto& [row, widget] : windows_)
        if (row == &tool)
            return widget;
    return nullptr;
}

QWidget* ToolHost::showToolWindow(const ToolWindow& tool, const std::function<QWidget*()>& make)
{
    QWidget* widget = toolWindow(tool);
    if (widget == nullptr) {
        widget = make();
        // A window of its own whose parent is the program's: it closes with
        // it, and the window manager keeps it with it.
        widget->setParent(&window_, widget->windowFlags() | Qt::Window);
        windows_.emplace_back(&tool, widget);
        placeBeside(*widget, window_);
        // The tools' shortcuts act in every window of the program: a tool
        // window that lies over the program's (on a small screen) does not
        // take them away.
        widget->addActions(actions_);
        for (QLineEdit* field : widget->findChildren<QLineEdit*>())
            field->installEventFilter(this);
    }
    widget->show();
    widget->raise();
    widget->activateWindow();
    return widget;
}

void ToolHost::addTools(QMenu& menu)
{
    // After a separator that sets them apart from the picture's own commands.
    menu.addSeparator();
    for (const ToolWindow* tool : program_.tools) {
        QAction* action = menu.addAction(QString::fromUtf8(tool->menuText));
        action->setShortcut(QKeySequence(QString::fromLatin1(tool->keys), QKeySequence::PortableText));
        action->setShortcutContext(Qt::WindowShortcut);
        window_.addAction(action);  // the shortcut works anywhere in the window
        connect(action, &QAction::triggered, this, [this, tool] { tool->open(*this); });
        shortcuts_.push_back(action->shortcut());
        actions_.append(action);
    }
    // A field would keep some of these keys for its own editing (on X11,
    // Ctrl+E moves to the end of the line): the tools' shortcuts win there.
    for (QLineEdit* field : window_.findChildren<QLineEdit*>())
        field->installEventFilter(this);
}

bool ToolHost::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        if (std::find(shortcuts_.begin(), shortcuts_.end(), pressed) != shortcuts_.end()) {
            event->ignore();  // not the field's: the shortcut acts
            return true;
        }
    }
    if (watched == &window_ && event->type() == QEvent::Close)
        for (const auto& entry : windows_)
            entry.second->close();
    return QObject::eventFilter(watched, event);
}

}  // namespace vortiquo

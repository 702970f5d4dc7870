#include "bench/WindowControls.h"

#include <QAbstractEventDispatcher>
#include <QTest>

#include "window/RunDispatcher.h"

namespace vortiquo {

QString dispatcherName()
{
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QString name = QString::fromLatin1(dispatcher->metaObject()->className());
    if (const auto* run = qobject_cast<const RunDispatcher*>(dispatcher); run && run->platformDispatcher())
        name += QStringLiteral("(%1%2)").arg(QString::fromLatin1(run->platformDispatcher()->metaObject()->className()),
                                            RunDispatcher::active() == run ? QString() : QStringLiteral(", every step"));
    return name;
}

void showAndSettle(SimulationForm& form)
{
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "vortiquo-bench: the window was never exposed\n");
        std::exit(2);
    }
    QTest::qWait(50);
}

}  // namespace vortiquo

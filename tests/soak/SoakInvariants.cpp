#include "SoakInvariants.h"

#include <QLineEdit>
#include <QPushButton>

#include "InteractionSupport.h"
#include "shell/Redraw.h"

namespace soak {

namespace {

void checkControls(const SimulationForm& form, QStringList& broken)
{
    const auto scheme = form.state().colourScheme;
    if (scheme < 1 || scheme > 6)
        broken << QStringLiteral("colour scheme %1 is not between 1 and 6").arg(scheme);
    const auto* esci = form.findChild<QPushButton*>(QStringLiteral("Esci"));
    const auto* uscita = form.findChild<QWidget*>(QStringLiteral("Uscita"));
    const bool panelShown = uscita->isVisibleTo(&form);
    if (esci->isEnabled() == panelShown)
        broken << QStringLiteral("Esci is %1 while Uscita is %2")
                      .arg(esci->isEnabled() ? "enabled" : "disabled", panelShown ? "shown" : "hidden");
}

void checkState(const SimulationForm& form, QStringList& broken)
{
    const QStringList nonFinite = interaction::nonFiniteMembers(form.state());
    if (!nonFinite.isEmpty())
        broken << QStringLiteral("not finite in the state: %1").arg(nonFinite.join(u' '));
    for (std::size_t index = 0; index < FieldCount; ++index) {
        const QString name = QString::fromLatin1(FieldNames[index].data(), qsizetype(FieldNames[index].size()));
        const auto* field = form.findChild<QLineEdit*>(name);
        const auto& kept = form.session().texts()[index];
        // Compared as the handler converts it: half a surrogate pair, met
        // while a pair is typed unit by unit, becomes a replacement character.
        if (field && (!kept || field->text().toStdString() != *kept))
            broken << QStringLiteral("%1 shows %2 characters, the state was computed from %3 bytes")
                          .arg(name)
                          .arg(field->text().size())
                          .arg(kept ? qsizetype(kept->size()) : -1);
    }
}

void checkReplay(const SimulationForm& form, QStringList& broken, CheckCounts& counts)
{
    const Session& session = form.session();
    if (!session.journal().complete()) {
        ++counts.incompleteJournal;
        return;
    }
    ++counts.fullReplays;
    // The window knows the steps it drew: a run that ended on a fault with
    // no limit is replayed up to the fault and no further.
    ReplayLimits limits;
    limits.maxSteps = session.stepsDrawn();
    const Redrawn redrawn = redraw(form.program(), session.journalStart(), session.journalUntilNow(), 1, limits);
    counts.longestReplay = std::max(counts.longestReplay, redrawn.outcome.steps);
    if (redrawn.outcome.end == ReplayOutcome::End::damaged)
        broken << QStringLiteral("the journal does not fit together");
    if (redrawn.outcome.steps != session.stepsDrawn())
        broken << QStringLiteral("the journal replays %1 steps, the window drew %2")
                      .arg(redrawn.outcome.steps)
                      .arg(session.stepsDrawn());
    const QImage replayed = composed(redrawn.points, form.grafico()->background());
    const QImage shown = form.grafico()->image();
    if (replayed != shown)
        broken << QStringLiteral("the replayed picture differs from the window's in %1 pixels")
                      .arg(interaction::differentPixels(replayed, shown));
    QStringList differing = interaction::differingMembers(redrawn.outcome.state, form.state());
    if (form.isRunning())
        differing.removeAll(QStringLiteral("stopRequested"));  // the replay halts where the run stands
    if (!differing.isEmpty())
        broken << QStringLiteral("the replay ends in another state: %1").arg(differing.join(u' '));
}

}  // namespace

QStringList brokenInvariants(const SimulationForm& form, CheckCounts& counts)
{
    ++counts.checks;
    QStringList broken;
    checkControls(form, broken);
    checkState(form, broken);
    checkReplay(form, broken, counts);
    return broken;
}

}  // namespace soak

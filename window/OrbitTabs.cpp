// "Mappa dei massimi" and "Sezione di Poincaré": one orbit of a flow at the
// fields' own parameters, read as a map. Both follow the fields as they are
// edited, and open fitted to the points they find.
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <cmath>

#include "engine/ExponentText.h"
#include "window/ExplorerTab.h"
#include "window/ToolHost.h"

namespace vortiquo {

namespace {

class MaximaTab final : public ExplorerTab {
public:
    MaximaTab(ToolHost& host, const SweepView& view)
        : ExplorerTab(host, view, SweepRecipe::Kind::Maxima, QStringLiteral("Mappa dei massimi"))
    {
        recorded_ = addChoice(QStringLiteral("Massimi di:"), {"x", "y", "z"}, static_cast<int>(view.recorded));
        controls().addStretch();
        setOpeningView();
    }

    QString pointerText(QPointF at) const override
    {
        return QStringLiteral("Mₙ = %1   Mₙ₊₁ = %2")
            .arg(italianDecimal(at.x(), decimalsAcross()), italianDecimal(at.y(), decimalsUp()));
    }

    bool followsFields() const override { return true; }

protected:
    void fill(SweepRecipe& recipe) const override
    {
        recipe.of = letterOf(static_cast<Coordinate>(recorded_->currentIndex())).at(0).toLatin1();
        recipe.transient = sweepView_.orbitTransient;
        recipe.duration = sweepView_.orbitDuration;
        recordFields(recipe, {});
    }

    QRectF openingView() const override { return {}; }

private:
    QComboBox* recorded_ = nullptr;
};

// A level as typed: a full stop or a decimal comma.
bool readLevel(const QString& text, double& level)
{
    bool read = false;
    const double value = QLocale::c().toDouble(QString(text).replace(',', '.').trimmed(), &read);
    if (read && std::isfinite(value))
        level = value;
    return read && std::isfinite(value);
}

QString levelText(double level)
{
    return QString::number(level, 'g', 15).replace('.', ',');
}

class SectionTab final : public ExplorerTab {
public:
    SectionTab(ToolHost& host, const SweepView& view)
        : ExplorerTab(host, view, SweepRecipe::Kind::Section, QStringLiteral("Sezione di Poincaré"))
    {
        at_ = addChoice(QStringLiteral("Piano:"), {"x", "y", "z"}, static_cast<int>(view.sectionAt));
        level_ = new QLineEdit;
        level_->setAccessibleName(QStringLiteral("Valore della coordinata sul piano"));
        level_->setMaximumWidth(140);
        auto* equals = new QLabel(QStringLiteral("="));
        equals->setBuddy(level_);
        controls().addWidget(equals);
        controls().addWidget(level_);
        upward_ = addChoice(QStringLiteral("Verso:"), {"in salita", "in discesa"}, view.sectionUpward ? 0 : 1);
        controls().addStretch();
        followFields();
        // A level typed stays; an empty or unreadable one gives the flow's
        // own plane back.
        connect(level_, &QLineEdit::editingFinished, this, [this] {
            double level = 0;
            ownLevel_ = readLevel(level_->text(), level);
            followFields();
            emit changed();
        });
        setOpeningView();
    }

    QString pointerText(QPointF at) const override
    {
        const QString others = shown().of == 'x' ? "yz" : shown().of == 'y' ? "xz" : "xy";
        return QStringLiteral("%1 = %2   %3 = %4")
            .arg(others.at(0))
            .arg(italianDecimal(at.x(), decimalsAcross()))
            .arg(others.at(1))
            .arg(italianDecimal(at.y(), decimalsUp()));
    }

    bool followsFields() const override { return true; }

    void followFields() override
    {
        if (!ownLevel_)
            level_->setText(levelText(sweepView_.sectionLevel(host_.start())));
    }

protected:
    void fill(SweepRecipe& recipe) const override
    {
        recipe.of = letterOf(static_cast<Coordinate>(at_->currentIndex())).at(0).toLatin1();
        recipe.level = sweepView_.sectionLevel(host_.start());
        readLevel(level_->text(), recipe.level);
        recipe.upward = upward_->currentIndex() == 0;
        recipe.transient = sweepView_.orbitTransient;
        recipe.duration = sweepView_.orbitDuration;
        recordFields(recipe, {});
    }

    QRectF openingView() const override { return {}; }

private:
    QComboBox* at_ = nullptr;
    QLineEdit* level_ = nullptr;
    QComboBox* upward_ = nullptr;
    bool ownLevel_ = false;  // typed by the user, rather than the flow's own plane
};

}  // namespace

ExplorerTab* makeMaximaTab(ToolHost& host, const SweepView& view)
{
    return new MaximaTab(host, view);
}

ExplorerTab* makeSectionTab(ToolHost& host, const SweepView& view)
{
    return new SectionTab(host, view);
}

}  // namespace vortiquo

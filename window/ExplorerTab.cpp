#include "window/ExplorerTab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "engine/ExponentText.h"
#include "window/SweepCanvas.h"
#include "window/ToolHost.h"

namespace vortiquo {

namespace {

constexpr int FullSide = 512;  // the full pass's points across and down, but the plane's
constexpr int CoarseShare = 8;

}  // namespace

ExplorerTab::ExplorerTab(ToolHost& host, const SweepView& view, SweepRecipe::Kind kind, const QString& title)
    : host_(host), sweepView_(view), kind_(kind), title_(title)
{
    auto* layout = new QVBoxLayout(this);
    controls_ = new QHBoxLayout;
    layout->addLayout(controls_);
    canvas_ = new SweepCanvas;
    canvas_->setAccessibleName(title);
    pictureRow_ = new QHBoxLayout;
    pictureRow_->addWidget(canvas_, 1);
    layout->addLayout(pictureRow_, 1);
}

void ExplorerTab::addBesidePicture(QWidget* widget)
{
    pictureRow_->addWidget(widget);
}

SweepRecipe ExplorerTab::recipe(bool coarse) const
{
    SweepRecipe recipe;
    recipe.program = &host_.program();
    recipe.kind = kind_;
    const int side = kind_ == SweepRecipe::Kind::Plane ? sweepView_.planeSide : FullSide;
    recipe.width = recipe.height = coarse && !recipe.oneOrbit() ? std::max(1, side / CoarseShare) : side;
    recipe.fitted = view_.isNull();
    if (!recipe.fitted) {
        recipe.across0 = view_.left(), recipe.across1 = view_.right();
        recipe.up0 = view_.top(), recipe.up1 = view_.bottom();
    }
    fill(recipe);
    if (coarse && recipe.oneOrbit())
        recipe.duration /= CoarseShare;
    return recipe;
}

void ExplorerTab::show(const SweepRecipe& recipe, const SweepBand& band, bool full)
{
    band_ = band;
    shown_ = recipe;
    complete_ = full;
    const QRectF ranges(band.across0, band.up0, band.across1 - band.across0, band.up1 - band.up0);
    QString across, up;
    const auto letter = [](char name) { return QString(QLatin1Char(name)); };
    switch (recipe.kind) {
    case SweepRecipe::Kind::Plane: across = letter(recipe.acrossParameter), up = letter(recipe.upParameter); break;
    case SweepRecipe::Kind::Orbits:
        across = letter(recipe.vary);
        up = timedProgram(host_.program()) ? QStringLiteral("massimi di %1").arg(letter(recipe.of)) : letter(recipe.of);
        break;
    case SweepRecipe::Kind::Maxima:
        across = QStringLiteral("Mₙ (massimi di %1)").arg(letter(recipe.of)), up = QStringLiteral("Mₙ₊₁");
        break;
    case SweepRecipe::Kind::Section: {
        const QString others = recipe.of == 'x' ? "yz" : recipe.of == 'y' ? "xz" : "xy";
        across = others.left(1), up = others.right(1);
        break;
    }
    }
    canvas_->setPicture(band.image, ranges, across, up);
    showMark();
}

void ExplorerTab::zoom(const QRectF& view)
{
    history_.push_back(view_);
    view_ = view;
    emit changed();
}

bool ExplorerTab::goBack()
{
    if (history_.empty())
        return false;
    view_ = history_.back();
    history_.pop_back();
    emit changed();
    return true;
}

void ExplorerTab::reset()
{
    zoom(openingView());
}

QComboBox* ExplorerTab::addChoice(const QString& label, const QStringList& items, int current)
{
    auto* caption = new QLabel(label);
    auto* choice = new QComboBox;
    choice->addItems(items);
    choice->setCurrentIndex(current);
    choice->setAccessibleName(label.chopped(label.endsWith(':') ? 1 : 0));
    caption->setBuddy(choice);
    controls_->addWidget(caption);
    controls_->addWidget(choice);
    // Queued: a tab's own reactions to the choice (keeping two choices
    // apart) come first, then the view that follows from all of them.
    connect(
        choice, &QComboBox::currentIndexChanged, this,
        [this] {
            history_.clear();
            view_ = openingView();
            emit changed();
        },
        Qt::QueuedConnection);
    return choice;
}

void ExplorerTab::setOpeningView()
{
    view_ = openingView();
}

void ExplorerTab::recordFields(SweepRecipe& recipe, std::initializer_list<Field> swept) const
{
    const FieldTexts texts = host_.texts();
    for (const Field field : {Field::a, Field::b, Field::c, Field::dt, Field::x0, Field::y0, Field::z0}) {
        const auto& text = texts[static_cast<std::size_t>(field)];
        if (text && std::find(swept.begin(), swept.end(), field) == swept.end())
            recipe.edits.emplace_back(field, QString::fromStdString(*text));
    }
}

int ExplorerTab::decimalsAcross() const
{
    return decimalsResolving((band_.across1 - band_.across0) / std::max(1, shown_.width));
}

int ExplorerTab::decimalsUp() const
{
    return decimalsResolving((band_.up1 - band_.up0) / std::max(1, shown_.height));
}

QString letterOf(SweepParameter parameter)
{
    return QString(QLatin1Char("abc"[static_cast<int>(parameter)]));
}

QString letterOf(Coordinate coordinate)
{
    return QString(QLatin1Char("xyz"[static_cast<int>(coordinate)]));
}

Field fieldOf(SweepParameter parameter)
{
    return parameter == SweepParameter::A ? Field::a : parameter == SweepParameter::B ? Field::b : Field::c;
}

QString typedNumber(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

}  // namespace vortiquo

#include "window/ExportDialog.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "picture/DensityPicture.h"
#include "window/ExportJob.h"
#include "window/ToolHost.h"
#include "window/Tools.h"

namespace vortiquo {

namespace {

const QString Title = QStringLiteral("Esporta");

// The looks offered, in the order of the list.
struct LookChoice {
    const char* text;
    bool density;
    Tone tone;
};
constexpr LookChoice LookChoices[] = {
    {"Punti, come nel Grafico", false, Tone::log},
    {"Densità, scala logaritmica", true, Tone::log},
    {"Densità, equalizzata", true, Tone::equalize},
};

QSpinBox* spinBox(int least, int most, int value, const char* name)
{
    auto* box = new QSpinBox;
    box->setRange(least, most);
    box->setValue(value);
    box->setObjectName(QLatin1String(name));
    return box;
}

bool hasViewAngle(const Program& program)
{
    return designTexts(*program.layout)[static_cast<std::size_t>(Field::num)].has_value();
}

// Asks for the choices and the file, then starts the export.
void startExport(ToolHost& host)
{
    QWidget& window = host.window();
    const std::optional<Recipe> recipe = host.recipe();
    if (!recipe) {
        QMessageBox::warning(&window, Title,
                             QStringLiteral("Questa immagine non si può esportare: durante il disegno ci sono state "
                                            "troppe modifiche per registrarle tutte. Premete «Cancella» e "
                                            "disegnate di nuovo."));
        return;
    }
    if (recipe->steps == 0) {
        QMessageBox::information(&window, Title,
                                 QStringLiteral("Il Grafico è vuoto: premete «Via» e poi esportate l'immagine."));
        return;
    }
    // The window's own density is the first scale offered.
    const int scale = std::clamp(qRound(window.devicePixelRatioF()), 1, MostDrawingScale);
    ExportDialog dialog(hasViewAngle(host.program()), recipe->steps, scale, &window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool video = dialog.video();
    const QString name = QString::fromUtf8(host.program().layout->caption) + (video ? ".mp4" : ".png");
    const QString path = QFileDialog::getSaveFileName(
        &window, Title, name,
        video ? QStringLiteral("Video MP4 (*.mp4)") : QStringLiteral("Immagini PNG (*.png)"), nullptr,
        QFileDialog::DontUseNativeDialog);
    if (path.isEmpty())
        return;
    ExportJob::start(host, *recipe, video, dialog.settings(), path);
}

}  // namespace

const ToolWindow ExportTool = {"Esporta…", "Ctrl+Shift+E", startExport};

ExportDialog::ExportDialog(bool canTurn, std::int64_t steps, int scale, QWidget* parent)
    : QDialog(parent), canTurn_(canTurn), picture_(new QRadioButton(QStringLiteral("Immagine PNG"))),
      video_(new QRadioButton(QStringLiteral("Video MP4"))), scale_(spinBox(1, MostDrawingScale, scale, "scala")),
      look_(new QComboBox), supersample_(spinBox(1, MostSupersample, 1, "sovracampionamento")),
      frames_(spinBox(1, static_cast<int>(std::min<std::int64_t>(steps, 100000)),
                      static_cast<int>(std::min<std::int64_t>(steps, 300)), "fotogrammi")),
      fps_(spinBox(1, 120, 30, "fotogrammiAlSecondo")), turn_(new QCheckBox(QStringLiteral("La vista fa un giro")))
{
    setWindowTitle(Title);
    setObjectName(QStringLiteral("dialogoEsporta"));
    picture_->setChecked(true);
    for (const LookChoice& choice : LookChoices)
        look_->addItem(QString::fromUtf8(choice.text));
    look_->setObjectName(QStringLiteral("aspetto"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Che cosa:"), picture_);
    form->addRow(QString(), video_);
    form->addRow(QStringLiteral("Scala:"), scale_);
    form->addRow(QStringLiteral("Aspetto:"), look_);
    form->addRow(QStringLiteral("Sovracampionamento:"), supersample_);
    form->addRow(QStringLiteral("Fotogrammi:"), frames_);
    form->addRow(QStringLiteral("Fotogrammi al secondo:"), fps_);
    form->addRow(QString(), turn_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Esporta…"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(video_, &QRadioButton::toggled, this, &ExportDialog::updateEnabled);
    // Scale times supersampling stays within what a drawing may take.
    const auto boundSupersample = [this](int chosen) {
        supersample_->setMaximum(std::min(MostSupersample, MostDrawingScale / chosen));
    };
    connect(scale_, &QSpinBox::valueChanged, this, boundSupersample);
    boundSupersample(scale);
    updateEnabled();
}

void ExportDialog::updateEnabled()
{
    frames_->setEnabled(video());
    fps_->setEnabled(video());
    turn_->setEnabled(video() && canTurn_);
}

bool ExportDialog::video() const
{
    return video_->isChecked();
}

VideoSettings ExportDialog::settings() const
{
    VideoSettings settings;
    settings.frames = frames_->value();
    settings.fps = fps_->value();
    settings.turn = canTurn_ && turn_->isChecked();
    settings.scale = scale_->value();
    const LookChoice& choice = LookChoices[std::max(0, look_->currentIndex())];
    settings.look.density = choice.density;
    settings.look.tone = choice.tone;
    settings.look.supersample = supersample_->value();
    return settings;
}

}  // namespace vortiquo

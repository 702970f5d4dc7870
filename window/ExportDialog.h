#pragma once

#include <QDialog>

#include "picture/Density.h"
#include "engine/VideoExport.h"

class QCheckBox;
class QComboBox;
class QMenu;
class QRadioButton;
class QSpinBox;

namespace vortiquo {

class SimulationForm;

// "Esporta…" in Grafico's menu (Ctrl+Maiusc+E): the window's picture as a
// print or a film, made by the same code as --render and --video from the
// window's journal, in the background while the window goes on.
void addExportAction(SimulationForm& form, QMenu& menu);

// The choices of an export: picture or video, scale, points or density, and
// for a video its frames, speed and turn (offered to the flows only).
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(bool canTurn, std::int64_t steps, int scale, QWidget* parent);

    bool video() const;
    VideoSettings settings() const;  // its look and scale serve a picture too

private:
    void updateEnabled();

    bool canTurn_;
    QRadioButton* picture_;
    QRadioButton* video_;
    QSpinBox* scale_;
    QComboBox* look_;
    QSpinBox* supersample_;
    QSpinBox* frames_;
    QSpinBox* fps_;
    QCheckBox* turn_;
};

}  // namespace vortiquo

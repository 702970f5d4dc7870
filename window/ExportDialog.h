#pragma once

#include <QDialog>

#include "picture/Density.h"
#include "engine/VideoExport.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;

namespace vortiquo {


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

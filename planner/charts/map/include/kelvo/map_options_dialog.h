// "선택 사항" of the project map: what the map draws, the sizes of cells and
// the name column, its fonts and colours, and the colour coding of cells.
#ifndef KELVO_MAP_OPTIONS_DIALOG_H_
#define KELVO_MAP_OPTIONS_DIALOG_H_

#include <QDialog>

#include "kelvo/map_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kelvo {

class MapOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  // Shows `settings`; settings() returns them with the user's changes.
  explicit MapOptionsDialog(const MapSettings& settings, QWidget* parent = nullptr);
  MapSettings settings() const;

 private:
  MapSettings settings_;
  QCheckBox* objects_;
  QCheckBox* relations_;
  QSpinBox* nameWidth_;
  QSpinBox* cellWidth_;
  QSpinBox* cellHeight_;
  QComboBox* colouring_;
  QLineEdit* codes_[2];
};

// Runs the dialog over *settings; true (settings changed) on OK.
bool editMapOptions(QWidget* parent, MapSettings* settings);

}  // namespace kelvo

#endif  // KELVO_MAP_OPTIONS_DIALOG_H_

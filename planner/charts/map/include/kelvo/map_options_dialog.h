// "선택 사항" of the project map: what the map draws, the sizes of cells and
// the name column, its fonts and colours, and the colour coding of cells.
#ifndef KELVO_MAP_OPTIONS_DIALOG_H_
#define KELVO_MAP_OPTIONS_DIALOG_H_

#include <QDialog>
#include <QStringList>

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
  // `headingItems` are the field names of the work-type classification, the
  // items the name column can show.
  explicit MapOptionsDialog(const MapSettings& settings, const QStringList& headingItems = {},
                            QWidget* parent = nullptr);
  MapSettings settings() const;

 private:
  MapSettings settings_;
  QCheckBox* objects_;
  QCheckBox* relations_;
  QSpinBox* nameWidth_;
  QComboBox* headingItem_;
  QSpinBox* cellWidth_;
  QSpinBox* cellHeight_;
  QComboBox* colouring_;
  QLineEdit* codes_[2];
};

// Runs the dialog over *settings; true (settings changed) on OK.
bool editMapOptions(QWidget* parent, const QStringList& headingItems, MapSettings* settings);

}  // namespace kelvo

#endif  // KELVO_MAP_OPTIONS_DIALOG_H_

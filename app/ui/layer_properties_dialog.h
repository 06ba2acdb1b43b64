// CLayerProperties: the "Layer Properties" dialog for one layer: its name and its
// opacity in percent. OK applies both through the layer's information record, as one
// undoable step; an OK that changed nothing records nothing, and an opacity whose
// percentage was left alone keeps its exact byte (200 stays 200, though no percentage
// gives it back).
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class CRSlideAndEditCom;
class ITzLayerBase;
class QLineEdit;

// The longest name a layer keeps, in UTF-16 units (its field holds a terminator too).
constexpr qsizetype kLayerNameUnits = 63;

// The text cut to kLayerNameUnits units, one fewer where the cut would split a
// surrogate pair.
QString CutToLayerName(const QString& text);

class CLayerProperties : public QDialog {
public:
    explicit CLayerProperties(QWidget* parent = nullptr);

    // Shows the layer's name and opacity (not owned): 1.
    int SetLayer(ITzLayerBase* layer);

    void accept() override;

private:
    // The name box holds at most a layer's name; the user's edits are cut to it.
    void OnNameEdited(const QString& text);

    ITzLayerBase* m_layer = nullptr;
    CRSlideAndEditCom* m_pair;
    QLineEdit* m_name;
    int m_shownPercent = 0;
};

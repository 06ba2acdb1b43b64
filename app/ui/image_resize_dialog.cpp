// The Resize dialog's controls: the original rows (statics 1112-1114 with unit combos
// 1099, 1100, 1105), the new rows (number boxes 1102-1104 with unit combos 1106-1108),
// "Constrain Proportions" 1109, "Resample Image" 1110 and its method 1111. Numbers with a
// fraction show as "%.2f", pixel counts as integers. What the dialog writes into a
// control goes under a signal blocker; only the user's edits and choices come back.
#include "app/ui/image_resize_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/ui/dialog_rows.h"
#include "app/ui/filter_edit.h"
#include "engine/picture/picture.h"

namespace {

constexpr QStringView kNearestNeighbor = u"Nearest Neighbor";

QString Fraction(double value)
{
    return QString::asprintf("%.2f", value);
}

QComboBox* UnitCombo(QWidget* parent, int id, bool resolution)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::number(id));
    if (resolution)
        combo->addItems({QStringLiteral("pixels/inch"), QStringLiteral("pixels/cm")});
    else
        combo->addItems({QStringLiteral("pixels"), QStringLiteral("inches"), QStringLiteral("cms")});
    return combo;
}

void SetTextQuietly(CFloatEdit* edit, const QString& text)
{
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

}  // namespace

ImageResizeDlg::ImageResizeDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Resize"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MakeRows(QStringLiteral("Original Size"), true));
    layout->addLayout(MakeRows(QStringLiteral("New Size"), false));
    m_constrain = new QCheckBox(QStringLiteral("&Constrain Proportions"), this);
    m_constrain->setObjectName(QStringLiteral("1109"));
    m_resample = new QCheckBox(QStringLiteral("&Resample Image:"), this);
    m_resample->setObjectName(QStringLiteral("1110"));
    m_method = new QComboBox(this);
    m_method->setObjectName(QStringLiteral("1111"));
    m_method->addItems({QStringLiteral("Bilinear"), kNearestNeighbor.toString()});
    auto* resampleRow = new QHBoxLayout();
    resampleRow->addWidget(m_resample);
    resampleRow->addWidget(m_method, 1);
    layout->addWidget(m_constrain);
    layout->addLayout(resampleRow);
    layout->addWidget(MakeOkCancel(this));
    m_constrain->setChecked(true);
    m_resample->setChecked(true);

    for (int side : {kResizeWidth, kResizeHeight}) {
        connect(m_originalSideUnit[side], &QComboBox::activated, this, [this, side] { FillOriginalSide(side); });
        connect(m_newSideUnit[side], &QComboBox::activated, this, [this, side] { FillNewSide(side); });
        connect(m_newSide[side], &CFloatEdit::floatEditChanged, this, [this, side] { OnSideTyped(side); });
        m_newSide[side]->installEventFilter(this);
    }
    connect(m_originalResolutionUnit, &QComboBox::activated, this, &ImageResizeDlg::FillOriginalResolution);
    connect(m_newResolutionUnit, &QComboBox::activated, this, &ImageResizeDlg::FillNewResolution);
    connect(m_newResolution, &CFloatEdit::floatEditChanged, this, &ImageResizeDlg::OnResolutionTyped);
    m_newResolution->installEventFilter(this);
    connect(m_constrain, &QCheckBox::clicked, this, &ImageResizeDlg::OnConstrainClicked);
    connect(m_resample, &QCheckBox::clicked, this, &ImageResizeDlg::OnResampleClicked);

    m_state = ResizeStateForPicture(0, 0, 0);
    FillAll();
}

QLayout* ImageResizeDlg::MakeRows(const QString& title, bool original)
{
    auto* group = new QGroupBox(title, this);
    auto* grid = new QGridLayout(group);
    const QString names[3] = {QStringLiteral("Width:"), QStringLiteral("Height:"), QStringLiteral("Resolution:")};
    for (int row = 0; row < 3; ++row) {
        QWidget* value = nullptr;
        QComboBox* unit = nullptr;
        if (original) {
            auto* label = new QLabel(group);
            label->setObjectName(QString::number(1112 + row));
            label->setMinimumWidth(90);
            unit = UnitCombo(group, row < 2 ? 1099 + row : 1105, row == 2);
            (row < 2 ? m_originalSide[row] : m_originalResolution) = label;
            (row < 2 ? m_originalSideUnit[row] : m_originalResolutionUnit) = unit;
            value = label;
        } else {
            auto* edit = new CFloatEdit(group);
            edit->setObjectName(QString::number(1102 + row));
            edit->setMinimumWidth(90);
            unit = UnitCombo(group, 1106 + row, row == 2);
            (row < 2 ? m_newSide[row] : m_newResolution) = edit;
            (row < 2 ? m_newSideUnit[row] : m_newResolutionUnit) = unit;
            value = edit;
        }
        grid->addWidget(new QLabel(names[row], group), row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row, 2);
    }
    auto* box = new QVBoxLayout();
    box->addWidget(group);
    return box;
}

void ImageResizeDlg::SetPicture(ITzPicture* picture)
{
    m_picture = picture;
    _tagPTzSIZE size = {};
    if (picture)
        picture->GetSize(&size);
    m_state = ResizeStateForPicture(uint32_t(size.cx), uint32_t(size.cy), picture ? picture->GetXPelsPerMeter() : 0);
    FillAll();
}

CSizeUnit ImageResizeDlg::SizeUnit(const QComboBox* combo) const
{
    return static_cast<CSizeUnit>(std::max(combo->currentIndex(), 0));
}

CResolutionUnit ImageResizeDlg::ResolutionUnit(const QComboBox* combo) const
{
    return combo->currentIndex() == 1 ? CResolutionUnit::PerCm : CResolutionUnit::PerInch;
}

bool ImageResizeDlg::Resampling() const
{
    return m_resample->isChecked();
}

bool ImageResizeDlg::Constraining() const
{
    return m_constrain->isChecked();
}

void ImageResizeDlg::FillAll()
{
    for (int side : {kResizeWidth, kResizeHeight}) {
        FillOriginalSide(side);
        FillNewSide(side);
    }
    FillOriginalResolution();
    FillNewResolution();
}

void ImageResizeDlg::FillOriginalSide(int side)
{
    const CSizeUnit unit = SizeUnit(m_originalSideUnit[side]);
    const double value = OriginalSideInUnit(m_state, side, unit);
    m_originalSide[side]->setText(unit == CSizeUnit::Pixels ? QString::number(int32_t(value)) : Fraction(value));
}

void ImageResizeDlg::FillOriginalResolution()
{
    m_originalResolution->setText(
        Fraction(ResolutionInUnit(m_state.resolution, ResolutionUnit(m_originalResolutionUnit))));
}

void ImageResizeDlg::FillNewSide(int side)
{
    const CSizeUnit unit = SizeUnit(m_newSideUnit[side]);
    CFloatEdit* edit = m_newSide[side];
    edit->SetIntegerOnly(unit == CSizeUnit::Pixels);
    SetTextQuietly(edit, unit == CSizeUnit::Pixels ? QString::number(int32_t(m_state.newSize[side]))
                                                   : Fraction(NewSideInUnit(m_state, side, unit)));
    // Without resampling the pixels stay: only a printed size can be typed.
    edit->setEnabled(Resampling() || unit != CSizeUnit::Pixels);
}

void ImageResizeDlg::FillNewResolution()
{
    SetTextQuietly(m_newResolution, Fraction(ResolutionInUnit(m_state.resolution, ResolutionUnit(m_newResolutionUnit))));
}

void ImageResizeDlg::OnSideTyped(int side)
{
    TypeNewSide(m_state, side, SizeUnit(m_newSideUnit[side]), m_newSide[side]->GetValue(), Resampling(),
                Constraining());
    // The box typed in keeps the user's text; what followed from it is shown again.
    if (Resampling() && Constraining())
        FillNewSide(1 - side);
    if (!Resampling()) {
        FillNewResolution();
        FillNewSide(1 - side);
    }
}

void ImageResizeDlg::OnResolutionTyped()
{
    if (!TypeResolution(m_state, ResolutionUnit(m_newResolutionUnit), m_newResolution->GetValue(), Resampling()))
        return;
    FillNewSide(kResizeWidth);
    FillNewSide(kResizeHeight);
}

void ImageResizeDlg::LimitSideBox(int side)
{
    const CSizeUnit unit = SizeUnit(m_newSideUnit[side]);
    const double typed = m_newSide[side]->GetValue();
    const double limited = LimitSide(typed, unit, SideLimits(m_state, side, Constraining()), m_state.resolution);
    if (limited != typed) {
        SetTextQuietly(m_newSide[side],
                       unit == CSizeUnit::Pixels ? QString::number(int32_t(limited)) : Fraction(limited));
        OnSideTyped(side);
    }
    // The pixels themselves, which a rounded printed size may hide, keep to the limits.
    if (Resampling() && LimitNewSide(m_state, side, Constraining())) {
        FillNewSide(kResizeWidth);
        FillNewSide(kResizeHeight);
    }
}

void ImageResizeDlg::LimitResolutionBox()
{
    const double typed = m_newResolution->GetValue();
    const double limited = LimitResolution(typed, ResolutionUnit(m_newResolutionUnit));
    if (limited == typed)
        return;
    SetTextQuietly(m_newResolution, Fraction(limited));
    OnResolutionTyped();
}

bool ImageResizeDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_newResolution)
            LimitResolutionBox();
        for (int side : {kResizeWidth, kResizeHeight}) {
            if (watched == m_newSide[side])
                LimitSideBox(side);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ImageResizeDlg::OnConstrainClicked(bool checked)
{
    if (!checked || !m_picture)
        return;
    RestorePictureSize(m_state);
    FillNewSide(kResizeWidth);
    FillNewSide(kResizeHeight);
}

void ImageResizeDlg::OnResampleClicked(bool checked)
{
    if (!checked && m_picture)
        RestorePictureSize(m_state);
    FillNewSide(kResizeWidth);
    FillNewSide(kResizeHeight);
    m_constrain->setEnabled(checked);
    m_method->setEnabled(checked);
}

void ImageResizeDlg::accept()
{
    LimitResolutionBox();
    LimitSideBox(kResizeWidth);
    LimitSideBox(kResizeHeight);
    m_resampleMode = m_method->currentText() == kNearestNeighbor ? 0 : 1;
    QDialog::accept();
}

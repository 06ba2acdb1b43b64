// The Layer Properties dialog.
#include "app/ui/layer_properties_dialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>

#include "app/shell/drawing_functions.h"
#include "app/ui/dialog_rows.h"
#include "app/ui/layer_name_text.h"
#include "app/ui/slide_and_edit.h"
#include "engine/pixels/layer_base.h"

QString CutToLayerName(const QString& text)
{
    if (text.size() <= kLayerNameUnits)
        return text;
    qsizetype length = kLayerNameUnits;
    if (text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

CLayerProperties::CLayerProperties(QWidget* parent) : QDialog(parent), m_name(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Layer Properties"));
    m_name->setObjectName(QStringLiteral("1005"));
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("&Name:"), m_name);
    layout->addRow(MakeOpacityRow(this));
    layout->addRow(MakeOkCancel(this));
    m_pair = new CRSlideAndEditCom(this, 1007, 1006);
    m_pair->SetRange(0, 100);
    connect(m_name, &QLineEdit::textEdited, this, &CLayerProperties::OnNameEdited);
}

int CLayerProperties::SetLayer(ITzLayerBase* layer)
{
    m_layer = layer;
    if (!layer)
        return 1;
    m_shownPercent = int(OpacityToPercent(layer->GetOpacity()));
    m_pair->SetValue(m_shownPercent);
    const QSignalBlocker quiet(m_name);
    m_name->setText(LayerNameText(*layer));
    return 1;
}

void CLayerProperties::OnNameEdited(const QString& text)
{
    const QString cut = CutToLayerName(text);
    if (cut.size() == text.size())
        return;
    const qsizetype cursor = std::min<qsizetype>(m_name->cursorPosition(), cut.size());
    const QSignalBlocker quiet(m_name);
    m_name->setText(cut);
    m_name->setCursorPosition(int(cursor));
}

void CLayerProperties::accept()
{
    if (m_layer) {
        _tagITzLAYERINFO info = {};
        m_layer->GetLayerInfo(&info);
        const int percent = m_pair->GetValue();
        if (percent != m_shownPercent)
            info.opacity = PercentToOpacity(uint32_t(percent));
        const QString name = CutToLayerName(m_name->text());
        std::fill(std::begin(info.name), std::end(info.name), PTzChar(0));
        std::copy_n(reinterpret_cast<const PTzChar*>(name.utf16()), name.size(), info.name);
        m_layer->SetLayerInfo(&info);
    }
    QDialog::accept();
}

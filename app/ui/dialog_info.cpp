// The information panel's fields are statics 1131-1135.
#include "app/ui/dialog_info.h"

#include <QFormLayout>
#include <QLabel>

#include "app/shell/info_data.h"

CDialogInfo::CDialogInfo(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("241"));
    setWindowTitle(QStringLiteral("Info"));
    auto* layout = new QFormLayout(this);
    const QString names[5] = {QStringLiteral("R:"), QStringLiteral("G:"), QStringLiteral("B:"), QStringLiteral("X:"),
                              QStringLiteral("Y:")};
    for (int i = 0; i < 5; ++i) {
        m_fields[i] = new QLabel(this);
        m_fields[i]->setObjectName(QString::number(1131 + i));
        m_fields[i]->setMinimumWidth(48);
        layout->addRow(names[i], m_fields[i]);
    }
    AttachInfoData();
}

void CDialogInfo::AttachInfoData(RInfoData* info)
{
    if (!info)
        info = RInfoData::GetInfoData();
    if (info && info != m_info && AddToBroadcaster(info)) {
        if (m_info)
            RemoveFromBroadcaster(m_info);
        m_info = info;
    }
    ShowInfo();
}

int CDialogInfo::Listen(uint32_t message, void* param, PTzBroadcaster* sender)
{
    if (message == QVMSG_INFO_COLOR || message == QVMSG_INFO_POSITION || message == QVMSG_INFO_CLEARED)
        ShowInfo();
    return PTzListener::Listen(message, param, sender);
}

void CDialogInfo::ShowInfo()
{
    uint32_t colour[3] = {};
    int32_t position[2] = {};
    const bool hasColour = m_info && m_info->GetColor(colour);
    const bool hasPosition = m_info && m_info->GetPosition(position);
    for (int i = 0; i < 3; ++i)
        m_fields[i]->setText(hasColour ? QString::number(colour[i]) : QString());
    for (int i = 0; i < 2; ++i)
        m_fields[3 + i]->setText(hasPosition ? QString::number(position[i]) : QString());
}

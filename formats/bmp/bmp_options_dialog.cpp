// The options dialog in Qt Widgets: two groups of radio buttons, two check boxes and
// OK / Cancel. Every click goes through the setting rules, so the controls always
// show a normalised setting.
#include "formats/bmp/bmp_options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bitmora {

namespace {

const char* const DepthTexts[BmpDialogDepthCount] = {"1 bit", "4 bit", "8 bit", "16 bit", "24 bit", "32 bit"};

BmpOptionsPrompt currentPrompt = ShowBmpOptionsDialog;

template <typename Button>
Button* makeButton(const char* text, int id, QWidget* parent)
{
    auto* button = new Button(QString::fromLatin1(text), parent);
    button->setObjectName(QString::number(id));
    // The setting, not Qt's exclusivity, decides which button is checked.
    button->setAutoExclusive(false);
    return button;
}

}  // namespace

BmpOptionsDialog::BmpOptionsDialog(const _tagFTzBMPSETTING& setting, uint16_t imageBits, QWidget* parent)
    : QDialog(parent), m_setting(setting), m_imageBits(imageBits)
{
    setWindowTitle(QStringLiteral("BMP Options"));
    auto* format = new QGroupBox(QStringLiteral("File Format"), this);
    auto* formatLayout = new QVBoxLayout(format);
    m_windows = makeButton<QRadioButton>("Windows", BmpControlWindows, format);
    m_os2 = makeButton<QRadioButton>("OS/2", BmpControlOs2, format);
    formatLayout->addWidget(m_windows);
    formatLayout->addWidget(m_os2);

    auto* depth = new QGroupBox(QStringLiteral("Depth"), this);
    auto* depthLayout = new QVBoxLayout(depth);
    for (uint32_t i = 0; i < BmpDialogDepthCount; ++i) {
        m_depths[i] = makeButton<QRadioButton>(DepthTexts[i], BmpControlFirstDepth + int(i), depth);
        depthLayout->addWidget(m_depths[i]);
        connect(m_depths[i], &QRadioButton::clicked, this,
                [this, i] { m_setting.depth = BmpDialogDepths[i]; settle(); });
    }
    m_compress = makeButton<QCheckBox>("Compress", BmpControlCompress, this);
    m_flip = makeButton<QCheckBox>("Flip row order", BmpControlFlip, this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    cancel->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    connect(m_windows, &QRadioButton::clicked, this, [this] { m_setting.os2 = 0; settle(); });
    connect(m_os2, &QRadioButton::clicked, this, [this] { m_setting.os2 = 1; settle(); });
    connect(m_compress, &QCheckBox::clicked, this, [this] { m_setting.compress = !m_setting.compress; settle(); });
    connect(m_flip, &QCheckBox::clicked, this, [this] { m_setting.flip = !m_setting.flip; settle(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(format);
    layout->addWidget(depth);
    layout->addWidget(m_compress);
    layout->addWidget(m_flip);
    layout->addWidget(buttons);
    settle();
}

void BmpOptionsDialog::settle()
{
    NormaliseBmpSetting(&m_setting, m_imageBits);
    refresh();
}

void BmpOptionsDialog::refresh()
{
    const BmpControlStates enabled = BmpEnabledControls(m_setting, m_imageBits);
    m_windows->setChecked(m_setting.os2 == 0);
    m_os2->setChecked(m_setting.os2 != 0);
    for (uint32_t i = 0; i < BmpDialogDepthCount; ++i) {
        m_depths[i]->setChecked(m_setting.depth == BmpDialogDepths[i]);
        m_depths[i]->setEnabled(enabled.depth[i]);
    }
    m_compress->setChecked(m_setting.compress != 0);
    m_compress->setEnabled(enabled.compress);
    m_flip->setChecked(m_setting.flip != 0);
    m_flip->setEnabled(enabled.flip);
}

bool ShowBmpOptionsDialog(_tagFTzBMPSETTING* setting, uint16_t imageBits, void* owner)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    BmpOptionsDialog dialog(*setting, imageBits, static_cast<QWidget*>(owner));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *setting = dialog.setting();
    return true;
}

BmpOptionsPrompt SetBmpOptionsPrompt(BmpOptionsPrompt prompt)
{
    const BmpOptionsPrompt replaced = currentPrompt;
    currentPrompt = prompt ? prompt : ShowBmpOptionsDialog;
    return replaced;
}

bool AskBmpOptions(_tagFTzBMPSETTING* setting, uint16_t imageBits, void* owner)
{
    return currentPrompt(setting, imageBits, owner);
}

}  // namespace bitmora

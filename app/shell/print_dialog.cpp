// The Print dialog's controls, each named by its id, and its two commands.
#include "app/shell/print_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/shell/document.h"
#include "app/shell/print_preview.h"
#include "app/shell/shell_links.h"

namespace {

QPushButton* Button(const QString& text, int id, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    return button;
}

QCheckBox* CheckBox(const QString& text, int id, QWidget* parent)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QString::number(id));
    return box;
}

}  // namespace

R_PrintPreDlg::R_PrintPreDlg(quorvel::IPrintSetup* printer, QWidget* parent)
    : QDialog(parent),
      m_printer(printer),
      m_printerDC(printer ? printer->CreatePrinterDC() : nullptr),
      m_preview(new RPrintPreview(this, this)),
      m_centre(CheckBox(QStringLiteral("Center"), 1155, this)),
      m_fit(CheckBox(QStringLiteral("Fit Into Paper"), 1126, this))
{
    setObjectName(QStringLiteral("258"));
    setWindowTitle(QStringLiteral("Print"));
    setMinimumSize(400, 300);
    QPushButton* print = Button(QStringLiteral("Print"), 1, this);
    QPushButton* cancel = Button(QStringLiteral("Cancel"), 2, this);
    QPushButton* pageSetup = Button(QStringLiteral("Page Setup"), 1147, this);
    // Two buttons of the dialog that have no command.
    QPushButton* outline = Button(QStringLiteral("Out Line"), 1149, this);
    QPushButton* other = Button(QStringLiteral("oo"), 1150, this);
    outline->setEnabled(false);
    other->setEnabled(false);
    print->setDefault(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    buttons->addWidget(pageSetup);
    buttons->addStretch();
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_centre);
    boxes->addWidget(m_fit);
    boxes->addStretch();
    auto* idle = new QHBoxLayout;
    idle->addWidget(outline);
    idle->addWidget(other);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_preview, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addLayout(boxes, 1, 0);
    grid->addLayout(idle, 1, 1);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);
    m_preview->setMinimumSize(120, 120);
    resize(620, 480);

    connect(print, &QPushButton::clicked, this, &R_PrintPreDlg::OnPrint);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(pageSetup, &QPushButton::clicked, this, &R_PrintPreDlg::OnPageSetup);
    connect(m_centre, &QCheckBox::toggled, this, [this](bool on) { m_preview->SetCenter(on); });
    connect(m_fit, &QCheckBox::toggled, this, [this](bool on) { m_preview->SetFitIntoPaper(on); });
}

R_PrintPreDlg::~R_PrintPreDlg()
{
    // The preview outlives the DC as a child window; it must not keep the DC's caps.
    m_preview->SetPrinterDC(nullptr);
}

void R_PrintPreDlg::SetDocument(CTamsleyDoc* document)
{
    m_document = document;
    m_preview->SetPicture(document ? document->GetPicture() : nullptr);
    m_preview->SetPrinterDC(m_printerDC.get());
    m_preview->update();
}

void R_PrintPreDlg::OnPrint()
{
    if (!m_document || !m_printerDC)
        return;
    QPainter painter;
    if (!m_printerDC->BeginDocument(painter, this, m_document->GetPrintName()))
        return;
    m_preview->PrintOnPage(&painter);
    painter.end();
}

void R_PrintPreDlg::OnPageSetup()
{
    if (!m_printer || !m_printer->Run(this))
        return;
    std::unique_ptr<quorvel::CPrinterDC> renewed = m_printer->CreatePrinterDC();
    if (!renewed)
        return;
    m_preview->SetPrinterDC(renewed.get());
    m_printerDC = std::move(renewed);
    m_preview->update();
}

// The text tool's panel: the font lists, the size box's typed sizes, the colour and the
// underline.
#include "app/ui/tool_options_text.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <algorithm>
#include <iterator>

#include "app/shell/application.h"
#include "app/shell/main_frame.h"
#include "app/shell/picture_view.h"
#include "app/ui/typed_number.h"
#include "base/font_list.h"

namespace {

constexpr int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The weights the style list sets, and the weight above which a font shows as bold.
constexpr uint16_t kRegularWeight = 400;
constexpr uint16_t kBoldWeight = 700;
constexpr uint16_t kBoldAbove = 600;

QString FaceNameText(const PTzChar* name, size_t units)
{
    const PTzChar* end = std::find(name, name + units, PTzChar(0));
    return QString::fromUtf16(name, end - name);
}

bool IsAllDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QComboBox* AddList(QWidget* panel, int id, int minimumChars)
{
    auto* list = new QComboBox(panel);
    list->setObjectName(QString::number(id));
    list->setMinimumContentsLength(minimumChars);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return list;
}

}  // namespace

CToolOptionsText::CToolOptionsText(CTool_Text* tool, QWidget* parent)
    : CToolOptionsDlg(tool, tool->GetOptionsDialogID(), parent, WithOptions{}),
      m_faces(AddList(this, 1139, 16)),
      m_styles(AddList(this, 1140, 8)),
      m_sizes(AddList(this, 1141, 3))
{
    AddPlaceholder(1137, QSize(1, 1));
    AddWidget(m_faces);
    AddWidget(m_styles);
    m_styles->addItems({QStringLiteral("Regular"), QStringLiteral("Italic"), QStringLiteral("Bold"),
                        QStringLiteral("Bold Italic")});
    AddWidget(m_sizes);
    m_sizes->setEditable(true);
    m_sizes->setInsertPolicy(QComboBox::NoInsert);
    // Completing "1" to "10" would put sizes in the box that nobody typed.
    m_sizes->setCompleter(nullptr);
    for (int size : kSizes)
        m_sizes->addItem(QString::number(size));
    AddPlaceholder(1142, QSize(22, 22));
    AddPlaceholder(1146, QSize(24, 24));
    connect(m_faces, &QComboBox::activated, this, &CToolOptionsText::FaceChosen);
    connect(m_styles, &QComboBox::activated, this, &CToolOptionsText::StyleChosen);
    connect(m_sizes, &QComboBox::activated, this, &CToolOptionsText::SizeChosen);
    connect(m_sizes->lineEdit(), &QLineEdit::textEdited, this, &CToolOptionsText::SizeTyped);
    connect(&m_colour, &QAbstractButton::clicked, this, &CToolOptionsText::ColourClicked);
    connect(&m_underline, &QAbstractButton::clicked, this, &CToolOptionsText::UnderlineClicked);
    m_underline.SetListener(this);
}

CToolOptionsText::~CToolOptionsText()
{
    if (TextTool()->GetPanel() == this)
        TextTool()->SetPanel(nullptr);
}

RTextToolEdit* CToolOptionsText::GetKeySink()
{
    return &m_sink;
}

void CToolOptionsText::UpdateControls()
{
    m_sink.Attach(this, 1137);
    m_colour.Attach(this, 1142);
    m_underline.Attach(this, 1146);
    TextTool()->SetPanel(this);
    m_sink.setFocus();
    FillFontList();
    ShowTextSettings(TextTool()->GetFont(), TextTool()->GetColor(), TextTool()->GetValidParts());
    CTamsleyApp* app = CTamsleyApp::Get();
    CMainFrame* frame = app ? app->GetMainFrame() : nullptr;
    if (CTamsleyView* view = frame ? frame->GetActiveTamsleyView() : nullptr)
        view->setFocus();
}

void CToolOptionsText::FillFontList()
{
    const QSignalBlocker quiet(m_faces);
    m_faces->clear();
    CTamsleyApp* app = CTamsleyApp::Get();
    PTzFontManager* fonts = app ? app->GetFontManager() : nullptr;
    void* walk = fonts ? fonts->EnumFontStart() : nullptr;
    if (!walk)
        return;
    _tagPTzFONTINFO face = {};
    while (fonts->EnumFontNext(walk, &face))
        m_faces->addItem(FaceNameText(face.faceName, std::size(face.faceName)));
    fonts->EnumFontEnd(walk);
}

void CToolOptionsText::ShowTextSettings(const _tagPTzFONTDATAINFO& font, const _tagPTzCOLOR& colour, uint8_t valid)
{
    int face = -1;
    CTamsleyApp* app = CTamsleyApp::Get();
    PTzFontManager* fonts = app && (valid & ITzTEXTVALID_FACE) ? app->GetFontManager() : nullptr;
    if (fonts) {
        _tagPTzFONTINFO wanted = {};
        std::copy(std::begin(font.faceName), std::end(font.faceName), wanted.faceName);
        uint32_t index = 0;
        if (fonts->FindFontIndex(&wanted, &index) && int(index) < m_faces->count())
            face = int(index);
    }
    {
        const QSignalBlocker quiet(m_faces);
        m_faces->setCurrentIndex(face);
    }
    {
        constexpr uint8_t kStyle = ITzTEXTVALID_ITALIC | ITzTEXTVALID_WEIGHT;
        const QSignalBlocker quiet(m_styles);
        const bool styleShown = (valid & kStyle) == kStyle;
        m_styles->setCurrentIndex(styleShown ? (font.italic ? 1 : 0) + (font.weight > kBoldAbove ? 2 : 0) : -1);
    }
    {
        const QSignalBlocker quiet(m_sizes);
        m_size = valid & ITzTEXTVALID_HEIGHT ? font.height : 0;
        m_sizes->setCurrentIndex(-1);
        m_sizes->setEditText(SizeText());
    }
    m_underline.SetCheck((valid & ITzTEXTVALID_UNDERLINE) && font.underline != 0);
    m_colour.SetColor(&colour);
    m_colour.SetValid(valid & ITzTEXTVALID_COLOR);
}

QString CToolOptionsText::SizeText() const
{
    return m_size != 0 ? QString::number(m_size) : QString();
}

void CToolOptionsText::FaceChosen(int index)
{
    if (index < 0)
        return;
    const std::u16string name = m_faces->itemText(index).toStdU16String();
    PTzChar field[32] = {};
    std::copy_n(name.begin(), std::min(name.size(), std::size(field) - 1), field);
    TextTool()->SetFaceName(field);
}

void CToolOptionsText::StyleChosen(int index)
{
    if (index < 0 || index > 3)
        return;
    TextTool()->SetStyle(index & 1, index & 2 ? kBoldWeight : kRegularWeight);
}

void CToolOptionsText::SizeChosen(int index)
{
    if (index < 0 || index >= int(std::size(kSizes)))
        return;
    m_size = kSizes[index];
    TextTool()->SetHeight(int16_t(m_size));
}

void CToolOptionsText::SizeTyped(const QString& text)
{
    QLineEdit* box = m_sizes->lineEdit();
    if (!IsAllDigits(text)) {
        const QSignalBlocker quiet(box);
        box->setText(SizeText());
        return;
    }
    int size = 0;
    // An empty box or a size of 0 is a size still being typed.
    if (!ReadLeadingInteger(text, &size) || size == 0)
        return;
    if (size > kMaxSize) {
        size = kMaxSize;
        const QSignalBlocker quiet(box);
        box->setText(QString::number(size));
    }
    m_size = size;
    TextTool()->SetHeight(int16_t(m_size));
}

void CToolOptionsText::ColourClicked()
{
    _tagPTzCOLOR colour = {};
    m_colour.GetColor(colour);
    if (!PickColorRecord(colour))
        return;
    m_colour.SetColor(&colour);
    m_colour.SetValid(true);
    TextTool()->SetColor(colour);
}

void CToolOptionsText::FocusTakenFrom(QWidget* previous)
{
    m_focusBefore = previous;
}

void CToolOptionsText::UnderlineClicked()
{
    m_underline.SetCheck(!m_underline.GetCheck());
    TextTool()->SetUnderline(m_underline.GetCheck());
    if (m_focusBefore)
        m_focusBefore->setFocus();
}

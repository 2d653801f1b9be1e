#include "ERR_OldErrDlg.h"

#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <algorithm>

#include "AFX_MessageBox.h"
#include "AFX_Text.h"
#include "ERR_ErrorDialogIntf.h"
#include "GLO_Text.h"
#include "WIN_Locale.h"
#include "WIN_ResourceString.h"
#include "WIN_VersionInfo.h"
#include "ui_ErrorDialog.h"

namespace err {
namespace {

// The explanation keeps its own line ends where they fit: the label is as
// wide as its widest line, up to this many average characters, and wraps
// beyond.
constexpr int ExplanationCharacters = 80;
// The error information shows about this much of the report at once.
constexpr int InformationCharacters = 72;
constexpr int InformationLines = 12;

int WidestLine(const QFontMetrics& metrics, const QString& text)
{
  int widest = 0;
  for (const QString& line : text.split(u'\n')) widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

}  // namespace

OldErrDlg_t::OldErrDlg_t(const std::u16string& errorText, const std::string& logText, QWidget* parent,
                         const win::VersionInfo_t* version)
    : QDialog(parent), ui_(std::make_unique<Ui::ErrorDialog>()), errorText_(errorText), logText_(logText)
{
  ui_->setupUi(this);
  setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
  OnInitDialog(version != nullptr ? *version : win::VersionInfo_t::Get());
}

OldErrDlg_t::~OldErrDlg_t() = default;

void OldErrDlg_t::OnInitDialog(const win::VersionInfo_t& version)
{
  afx::AFX_InitControlMember(this, 5610, explanation_);
  afx::AFX_InitControlMember(this, 5605, information_);
  afx::AFX_InitControlMember(this, afx::IdOk, ok_);

  const ErrorDialogTexts_t texts = ERR_ErrorDialogTexts(errorText_, version);
  setWindowTitle(afx::AFX_ToQString(texts.caption));
  const QString explanation = afx::AFX_ToQString(texts.explanation);
  explanation_->setText(explanation);
  const QFontMetrics explanationMetrics(explanation_->font());
  explanation_->setMinimumWidth(std::min(WidestLine(explanationMetrics, explanation),
                                         explanationMetrics.averageCharWidth() * ExplanationCharacters));

  // A report reads best in columns.
  information_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  information_->setPlainText(afx::AFX_ToQString(texts.information));
  const QFontMetrics informationMetrics(information_->font());
  information_->setMinimumSize(informationMetrics.averageCharWidth() * InformationCharacters,
                               informationMetrics.lineSpacing() * InformationLines);
  QString name = afx::AFX_ToQString(win::ResourceString_t(ErrorInformationMessage, GLO_HERE).Text());
  if (name.endsWith(u':')) name.chop(1);
  information_->setAccessibleName(name);
  information_->installEventFilter(this);

  auto* copy = qobject_cast<QPushButton*>(afx::AFX_GetDlgItem(this, 5604));
  glo::GLO_Assert(copy != nullptr, GLO_HERE);
  connect(copy, &QPushButton::clicked, this, [this] { CopyToClipboard(); });
  ok_->setFocus(Qt::OtherFocusReason);
}

bool OldErrDlg_t::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == information_.Get() && event->type() == QEvent::FocusIn) {
    ok_->setFocus(Qt::OtherFocusReason);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void OldErrDlg_t::CopyToClipboard() const
{
  // The log is narrow text in the user's code page, the error text wide.
  const std::u16string text = logText_.empty() ? errorText_ : glo::GLO_ToWide(logText_, win::WIN_GetAnsiCodePage());
  QGuiApplication::clipboard()->setText(afx::AFX_ToQString(text));
}

}  // namespace err

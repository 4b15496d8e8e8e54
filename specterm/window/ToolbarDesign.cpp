// The two toolbars of the main window: their buttons in order, keys, tool
// tips, kinds, button menus and images.

#include "forms/EntryBox.h"
#include "forms/KeyedToolBar.h"
#include "view/Icons.h"
#include "view/LayoutConstants.h"
#include "window/frmMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProgressBar>

namespace specterm {
namespace {

using Style = forms::KeyedToolBar::Style;

struct ButtonDesign {
  const char* key;
  Style style;
  const char* toolTip;
};

// A null key marks a separator.
constexpr ButtonDesign kMainButtons[] = {
    {"Export", Style::DropDown, "Export"},
    {nullptr, Style::Default, nullptr},
    {"StopGo", Style::Default, "Stop Updates"},
    {"SingleStep", Style::Default, "Single Step"},
    {nullptr, Style::Default, nullptr},
    {"CurrentTrace", Style::Check, "Current Spectrum Trace"},
    {"PeakHold", Style::Check, "Peak Hold Trace"},
    {"VideoAverage", Style::Check, "Video Average Trace"},
    {"LastTrace", Style::Check, "Previous Spectrum Trace"},
    {nullptr, Style::Default, nullptr},
    {"Select", Style::Default, "Select Mode"},
    {"ZoomWin", Style::Default, "Zoom Window"},
    {"ZoomIn", Style::Default, "Zoom In"},
    {"ZoomOut", Style::Default, "Zoom Out"},
    {"Pan", Style::Default, "Pan"},
    {nullptr, Style::Default, nullptr},
    {"dBperDiv", Style::DropDown, "Zoom by dB per Division"},
    {"FSpan", Style::DropDown, "Zoom by Frequency Span"},
    {"ZoomFitView", Style::Default, "Fit View"},
    {"Previous", Style::Default, "Zoom Previous"},
    {"ZoomCursors", Style::Default, "Zoom to Fit Cursors"},
    {nullptr, Style::Default, nullptr},
    {"FirstPoint", Style::Default, "Go to First Point"},
    {"NextPoint", Style::Default, "Go to Next Point"},
    {"PreviousPoint", Style::Default, "Go to Previous Point"},
    {"LastPoint", Style::Default, "Go to Last Point"},
    {"CurPoint", Style::Default, "Go to Last Selected Point"},
    {"PeakPoint", Style::Placeholder, nullptr},
    {"PeakThreshold", Style::Default, "Position Minimum Peak Threshold"},
    {nullptr, Style::Default, nullptr},
    {"Status", Style::Default, "Update Status"},
};

struct MenuDesign {
  const char* key;
  const char* text;
};

constexpr MenuDesign kExportMenu[] = {
    {"Raw", "Export Raw Data Set"},
    {"Transformed", "Export Transformed Data Set"},
    {"TranScaled", "Export Transformed && Scaled Data Set"},
    {"PeakHold", "Export Peak Hold Data Set"},
    {"VideoAverage", "Export Video Average Data Set"},
};

constexpr MenuDesign kDbPerDivMenu[] = {
    {"dBB0", "0.0&1 per Division"},  {"dBB1", "0.0&2 per Division"}, {"dBB2", "0.0&5 per Division"},
    {"dBB3", "0.&10 per Division"},  {"dBB4", "0.&25 per Division"}, {"dBB5", "0.&50 per Division"},
    {"dBB6", "&1.00 per Division"},  {"dBB7", "&2.50 per Division"}, {"dBB8", "&5.00 per Division"},
    {"dBB9", "&10.00 per Division"},
};

constexpr MenuDesign kSpanMenu[] = {
    {"FB0", "0.02MHz Span"},  {"FB1", "0.05MHz Span"},  {"FB2", "0.10MHz Span"}, {"FB3", "0.25MHz Span"},
    {"FB4", "0.50MHz Span"},  {"FB5", "1.00MHz Span"},  {"FB6", "2.50MHz Span"}, {"FB7", "5.00MHz Span"},
    {"FB8", "10.00MHz Span"}, {"FB9", "25.00MHz Span"},
};

// Normal buttons that show pressed while a state holds: updates stopped, a
// zoom mode, the cursors shown. Screen readers see them as check buttons.
constexpr const char* kMainStateButtons[] = {"StopGo", "ZoomWin", "ZoomIn", "ZoomOut", "Pan"};

template <std::size_t N>
void AddMenu(forms::KeyedToolBar* bar, const char* buttonKey, const MenuDesign (&items)[N]) {
  for (const MenuDesign& item : items)
    bar->AddButtonMenu(QString::fromLatin1(buttonKey), QString::fromLatin1(item.key), QString::fromLatin1(item.text));
}

}  // namespace

void frmMain::BuildToolbars() {
  tbMain = new forms::KeyedToolBar(client);
  tbMain->setObjectName(QStringLiteral("tbMain"));
  for (const ButtonDesign& b : kMainButtons) {
    if (b.key == nullptr) {
      tbMain->AddSeparatorItem();
      continue;
    }
    const QString key = QString::fromLatin1(b.key);
    if (b.style == Style::Placeholder) {
      tbMain->AddPlaceholder(key, kPeakPointPlaceholderWidth);
      continue;
    }
    const QIcon icon = key == QStringLiteral("Status") ? imgToolbar.Icon(kImageNotCommunicating) : imgToolbar.Icon(key);
    tbMain->AddButton(key, b.style, QString::fromLatin1(b.toolTip), icon);
  }
  AddMenu(tbMain, "Export", kExportMenu);
  AddMenu(tbMain, "dBperDiv", kDbPerDivMenu);
  AddMenu(tbMain, "FSpan", kSpanMenu);
  tbMain->SetPlaceholderWidget(QStringLiteral("PeakPoint"), comboPeakPoint);
  tbMain->SetEnabled(QStringLiteral("ZoomCursors"), false);
  tbMain->SetEnabled(QStringLiteral("CurPoint"), false);
  for (const char* key : kMainStateButtons) tbMain->SetHoldsState(QString::fromLatin1(key), true);

  tbCursors = new forms::KeyedToolBar(client);
  tbCursors->setObjectName(QStringLiteral("tbCursors"));
  tbCursors->AddButton(QStringLiteral("CursorOne"), Style::Default, QStringLiteral("Position Cursor 1"),
                       imgCursorBar.Icon(QStringLiteral("Cursor1")));
  tbCursors->AddPlaceholder(QStringLiteral("Cursor1"), kCursorPlaceholderWidth);
  tbCursors->AddButton(QStringLiteral("CursorTwo"), Style::Default, QStringLiteral("Position Cursor 2"),
                       imgCursorBar.Icon(QStringLiteral("Cursor2")));
  tbCursors->AddPlaceholder(QStringLiteral("Cursor2"), kCursorPlaceholderWidth);
  tbCursors->AddButton(QStringLiteral("CursorDelta"), Style::Default, QStringLiteral("View Cursors"),
                       imgCursorBar.Icon(QStringLiteral("CursorDelta")));
  tbCursors->SetHoldsState(QStringLiteral("CursorDelta"), true);
  tbCursors->AddPlaceholder(QStringLiteral("Cursor3"), kCursorPlaceholderWidth);

  // The read-outs of the cursor row lie over the toolbar.
  txtThreshold->raise();
  for (QLineEdit* edit : txtCursor) edit->raise();
}

}  // namespace specterm

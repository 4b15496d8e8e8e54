// The entry fields on the window: the panel clicks that open the in-place
// boxes, typing and pasting through each box's filter, and each box's
// validation after Enter and Esc.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/PictureBox.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>

#include <functional>

namespace specterm {
namespace {

class EntryFieldsTest : public testing::FormTest {
 protected:
  // With a data set over the band 550..850, or without data; the window
  // active.
  frmMain& OpenActive(bool withData) {
    frmMain& f = withData ? OpenWithCarriers() : Open();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    return f;
  }
  static void ClickPanel(frmMain& f, const char* key) {
    QWidget* panel = f.sbStatus->PanelWidget(key);
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, panel->height() / 2));
  }
  static QString Panel(const frmMain& f, const char* key) { return f.sbStatus->PanelText(key); }
};

TEST_F(EntryFieldsTest, PanelClicksOpenTheBoxesAndTypingPassesTheirFilters) {
  frmMain& f = OpenActive(false);
  // No reference location yet: the centre frequency and 0 dB.
  const std::tuple<const char*, forms::EntryBox*, QString, const char*, QString> cases[] = {
      {"CurPoint", f.txtPoint, "1", "12a.-3", "123"},
      {"Frequency", f.txtFreq, "70.000MHz", "6-2.5.1m3m", "62.513 MHz"},
      {"Amplitude", f.txtAmp, "0.000dB", "-4-0.5.1", "-40.51"},
  };
  for (const auto& [panel, box, text, typed, shown] : cases) {
    SCOPED_TRACE(panel);
    ClickPanel(f, panel);
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(box->selectedText(), text);
    EXPECT_FALSE(f.Input().KeyPreview());
    // The box lies over its panel, whose own text waits.
    EXPECT_TRUE(f.sbStatus->PanelCovered(panel));
    QTest::keyClicks(box, typed);
    EXPECT_EQ(box->text(), shown);
  }
  EXPECT_FALSE(f.txtFreq->isVisible());
  EXPECT_FALSE(f.sbStatus->PanelCovered("Frequency"));
  // Eight characters while the threshold is edited.
  f.txtThreshold->setFocus(Qt::TabFocusReason);
  EXPECT_FALSE(f.txtAmp->isVisible());
  QTest::keyClicks(f.txtThreshold, "-123.45678");
  EXPECT_EQ(f.txtThreshold->text(), "-123.456");
}

TEST_F(EntryFieldsTest, EachBoxValidatesOnEnterAndEsc) {
  frmMain& f = OpenActive(true);
  const auto& sel = f.Navigator().Selection();
  const QString pointRange = "You can only select from valid points...1 through 2048!";
  const QString band = "You can only set a frequency within 55.000MHz and 85.000MHz!";
  struct Case {
    const char* panel;  // nullptr: the threshold box
    forms::EntryBox* box;
    const char* typed;
    Qt::Key key;
    QString notice;  // empty: accepted
    std::function<void()> check;
  };
  const auto restored = [&] { EXPECT_EQ(Panel(f, "CurPoint") + Panel(f, "CurTrace"), "600Current"); };
  const Case cases[] = {
      {"CurPoint", f.txtPoint, "2049", Qt::Key_Return, pointRange, {}},
      {"CurPoint", f.txtPoint, "600", Qt::Key_Return, {}, [&] { EXPECT_EQ(Panel(f, "CurPoint"), "600"); }},
      // Esc restores the panels and leaves the selection.
      {"CurPoint", f.txtPoint, "700", Qt::Key_Escape, {}, restored},
      // The range test comes first: an invalid text is refused after Esc.
      {"CurPoint", f.txtPoint, "0", Qt::Key_Escape, pointRange, {}},
      {"Frequency", f.txtFreq, "85.1m", Qt::Key_Return, band, {}},
      {"Frequency", f.txtFreq, "80m", Qt::Key_Return, {}, [&] { EXPECT_NEAR(sel.SelectedX, 800.0f, 0.2f); }},
      {"Frequency", f.txtFreq, "60", Qt::Key_Escape, {}, [&] { EXPECT_NEAR(sel.SelectedX, 800.0f, 0.2f); }},
      {"Amplitude", f.txtAmp, "-125.5", Qt::Key_Return, "You can only set an amplitude value within \u00B1125dB!", {}},
      {"Amplitude", f.txtAmp, "-40", Qt::Key_Return, {}, [&] { EXPECT_FLOAT_EQ(sel.SelectedY, 40.0f); }},
      {nullptr,
       f.txtThreshold,
       "126",
       Qt::Key_Return,
       "You can only set a minimum peak threshold value within \u00B1125dB!",
       {}},
      // A valid threshold applies after Esc as after Enter.
      {nullptr,
       f.txtThreshold,
       "-20.5",
       Qt::Key_Escape,
       {},
       [&] {
         EXPECT_FLOAT_EQ(sel.MinPeakThreshold, -20.5f);
         EXPECT_EQ(f.txtThreshold->text(), "-20.500dB");
         EXPECT_EQ(f.txtThreshold->MaxLength(), 10);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed) + (c.key == Qt::Key_Escape ? " Esc" : " Enter"));
    forms::DialogSeam::ClearShown();
    f.timerStatus_Timer();
    if (c.panel != nullptr)
      ClickPanel(f, c.panel);
    else
      f.txtThreshold->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(c.box, c.typed);
    QTest::keyClick(c.box, c.key);
    EXPECT_EQ(Panel(f, "Status"), c.notice);
    if (!c.notice.isEmpty()) {
      EXPECT_TRUE(f.timerStatus->isActive());
      EXPECT_EQ(forms::DialogSeam::BeepCount(), 1);
      // The box keeps the focus for a correction.
      EXPECT_EQ(QApplication::focusWidget(), c.box);
      c.box->setText(c.box == f.txtFreq ? "70" : "1");
      QTest::keyClick(c.box, Qt::Key_Escape);
    } else {
      c.check();
    }
    // The entry is over: the plot has the keyboard and the window its keys.
    EXPECT_EQ(QApplication::focusWidget(), f.picSpectrum);
    EXPECT_EQ(c.box->isVisible(), c.box == f.txtThreshold);
    EXPECT_TRUE(f.Input().KeyPreview());
  }
}

TEST_F(EntryFieldsTest, TextThatComesByAnyDoorKeepsOnlyTheBoxsCharacters) {
  frmMain& f = OpenActive(false);
  QApplication::clipboard()->setText(QStringLiteral("3abc\u20ACx4"));
  for (const auto& [panel, valid] : {std::pair{"CurPoint", "1"}, {"Frequency", "70"}, {"Amplitude", "1"}}) {
    SCOPED_TRACE(panel);
    ClickPanel(f, panel);
    auto* box = static_cast<forms::EntryBox*>(QApplication::focusWidget());
    QTest::keyClicks(box, "12");
    // A character that no key code names, then a paste.
    QTest::sendKeyEvent(QTest::Click, box, static_cast<Qt::Key>(0x20AC), QStringLiteral("\u20AC"), Qt::NoModifier);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(box->text(), "1234");
    box->setText(valid);
    QTest::keyClick(box, Qt::Key_Escape);
  }
  // A unit the program wrote stays when the user pastes beside it.
  f.txtThreshold->setFocus(Qt::TabFocusReason);
  f.txtThreshold->setText("0.0dB");
  f.txtThreshold->end(false);
  QTest::keyClick(f.txtThreshold, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(f.txtThreshold->text(), "0.0dB34");
}

TEST_F(EntryFieldsTest, ACorrectionAfterARefusedEscIsApplied) {
  frmMain& f = OpenActive(true);
  ClickPanel(f, "CurPoint");
  QTest::keyClicks(f.txtPoint, "0");
  QTest::keyClick(f.txtPoint, Qt::Key_Escape);
  ASSERT_EQ(QApplication::focusWidget(), f.txtPoint);
  f.txtPoint->selectAll();
  QTest::keyClicks(f.txtPoint, "7");
  QTest::keyClick(f.txtPoint, Qt::Key_Return);
  EXPECT_EQ(f.Navigator().Selection().SelectedPoint, 7);
  EXPECT_EQ(Panel(f, "CurPoint"), "7");
}

}  // namespace
}  // namespace specterm

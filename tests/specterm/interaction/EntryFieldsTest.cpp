// The numeric entry fields on the window: the panel clicks that open the
// point, frequency and amplitude boxes, typing through the key filter, and
// the validation of each box after Enter and Esc.

#include "FormFixture.h"
#include "forms/KeyedStatusBar.h"
#include "forms/PictureBox.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <functional>

namespace specterm {
namespace {

class EntryFieldsTest : public testing::FormTest {
 protected:
  // Rows rising from 10 dB by 0.01 dB a point over the band 560..840, with
  // a peak of 90 dB at point 600 on the current row; the window active.
  frmMain& OpenActive(bool withData) {
    frmMain& f = Open();
    if (withData) {
      TraceStore& t = f.Spectrum().EditState().Traces;
      for (std::size_t row = 0; row < kTraceRows; ++row)
        for (std::size_t i = 0; i < kPointCount; ++i) {
          t.TraceX[row][i] = 560.0f + 280.0f * static_cast<float>(i) / kPointCount;
          t.TraceY[row][i] = 10.0f + 0.01f * static_cast<float>(i);
        }
      t.TraceY[kTraceCurrent][599] = 90;
      t.HaveData = true;
      f.tbMain_ButtonClick("ZoomFitView");
    }
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    return f;
  }
  // A click on a status panel, as the mouse makes it.
  static void ClickPanel(frmMain& f, const char* key) {
    QWidget* panel = f.sbStatus->PanelWidget(QString::fromLatin1(key));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(5, panel->height() / 2));
  }
  static QString Panel(const frmMain& f, const char* key) { return f.sbStatus->PanelText(QString::fromLatin1(key)); }
};

TEST_F(EntryFieldsTest, PanelClicksOpenTheBoxesFilledAndSelected) {
  frmMain& f = OpenActive(false);
  struct Case {
    const char* panel;
    forms::EntryBox* box;
    QString text;
  };
  // No reference location yet: the centre frequency and 0 dB.
  const Case cases[] = {
      {"CurPoint", f.txtPoint, "1"},
      {"Frequency", f.txtFreq, "70.000MHz"},
      {"Amplitude", f.txtAmp, "0.000dB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.panel);
    ClickPanel(f, c.panel);
    EXPECT_TRUE(c.box->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), c.box);
    EXPECT_EQ(c.box->text(), c.text);
    EXPECT_EQ(c.box->selectedText(), c.text);
    EXPECT_FALSE(f.Input().KeyPreview());
    // Over its panel, whose own text waits.
    EXPECT_TRUE(f.sbStatus->PanelCovered(c.panel));
    const QRect panel(f.sbStatus->PanelWidget(c.panel)->mapTo(&f, QPoint(0, 0)),
                      f.sbStatus->PanelWidget(c.panel)->size());
    EXPECT_TRUE(panel.intersects(QRect(c.box->mapTo(&f, QPoint(0, 0)), c.box->size())));
  }
  EXPECT_FLOAT_EQ(f.Input().Mouse().ClickX, 700.0f);
  EXPECT_FLOAT_EQ(f.Input().Mouse().ClickY, 0.0f);
  // Opening one box closes the one before.
  EXPECT_FALSE(f.txtPoint->isVisible());
  EXPECT_FALSE(f.txtFreq->isVisible());
  EXPECT_FALSE(f.sbStatus->PanelCovered("CurPoint"));
  f.picSpectrum->setFocus();
  EXPECT_FALSE(f.txtAmp->isVisible());
  EXPECT_FALSE(f.sbStatus->PanelCovered("Amplitude"));
  EXPECT_TRUE(f.Input().KeyPreview());
}

TEST_F(EntryFieldsTest, TypingPassesEachBoxsFilter) {
  frmMain& f = OpenActive(true);
  struct Case {
    const char* panel;
    forms::EntryBox* box;
    const char* typed;
    QString shown;
  };
  const Case cases[] = {
      {"CurPoint", f.txtPoint, "12a.-3", "123"},
      {"Frequency", f.txtFreq, "6-2.5.1m", "62.51 MHz"},
      {"Frequency", f.txtFreq, "6m3m", "63 MHz"},
      {"Amplitude", f.txtAmp, "-4-0.5.1", "-40.51"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ClickPanel(f, c.panel);
    QTest::keyClicks(c.box, c.typed);
    EXPECT_EQ(c.box->text(), c.shown);
  }
  // The threshold box takes eight characters while it is edited.
  f.txtThreshold->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(f.txtThreshold->MaxLength(), 8);
  QTest::keyClicks(f.txtThreshold, "-123.45678");
  EXPECT_EQ(f.txtThreshold->text(), "-123.456");
}

TEST_F(EntryFieldsTest, EachBoxValidatesOnEnterAndEsc) {
  frmMain& f = OpenActive(true);
  const auto& sel = f.Input().Selection();
  struct Case {
    const char* what;
    const char* panel;  // nullptr: the threshold box
    forms::EntryBox* box;
    const char* typed;
    Qt::Key key;
    const char* notice;  // nullptr: accepted
    std::function<void()> check;
  };
  const Case cases[] = {
      {"point 0",
       "CurPoint",
       f.txtPoint,
       "0",
       Qt::Key_Return,
       "You can only select from valid points...1 through 2048!",
       {}},
      {"point 2049",
       "CurPoint",
       f.txtPoint,
       "2049",
       Qt::Key_Return,
       "You can only select from valid points...1 through 2048!",
       {}},
      {"point 600", "CurPoint", f.txtPoint, "600", Qt::Key_Return, nullptr,
       [&] {
         EXPECT_EQ(sel.SelectedPoint, 600);
         EXPECT_EQ(Panel(f, "CurPoint"), "600");
       }},
      {"point 700 cancelled", "CurPoint", f.txtPoint, "700", Qt::Key_Escape, nullptr,
       [&] {
         EXPECT_EQ(sel.SelectedPoint, 600);
         EXPECT_EQ(Panel(f, "CurPoint"), "600");
         EXPECT_EQ(Panel(f, "CurTrace"), "Current");
       }},
      // The range test comes first: an invalid text is refused after Esc.
      {"point 0 cancelled",
       "CurPoint",
       f.txtPoint,
       "0",
       Qt::Key_Escape,
       "You can only select from valid points...1 through 2048!",
       {}},
      {"frequency below the band",
       "Frequency",
       f.txtFreq,
       "50",
       Qt::Key_Return,
       "You can only set a frequency within 55.000MHz and 85.000MHz!",
       {}},
      {"frequency above the band",
       "Frequency",
       f.txtFreq,
       "85.1m",
       Qt::Key_Return,
       "You can only set a frequency within 55.000MHz and 85.000MHz!",
       {}},
      {"frequency 80", "Frequency", f.txtFreq, "80m", Qt::Key_Return, nullptr,
       [&] { EXPECT_NEAR(sel.SelectedX, 800.0f, 0.2f); }},
      {"frequency cancelled", "Frequency", f.txtFreq, "60", Qt::Key_Escape, nullptr,
       [&] { EXPECT_NEAR(sel.SelectedX, 800.0f, 0.2f); }},
      {"amplitude 130",
       "Amplitude",
       f.txtAmp,
       "130",
       Qt::Key_Return,
       "You can only set an amplitude value within \u00B1125dB!",
       {}},
      {"amplitude -125.5",
       "Amplitude",
       f.txtAmp,
       "-125.5",
       Qt::Key_Return,
       "You can only set an amplitude value within \u00B1125dB!",
       {}},
      {"amplitude -40", "Amplitude", f.txtAmp, "-40", Qt::Key_Return, nullptr,
       [&] { EXPECT_FLOAT_EQ(sel.SelectedY, 40.0f); }},
      {"threshold 126",
       nullptr,
       f.txtThreshold,
       "126",
       Qt::Key_Return,
       "You can only set a minimum peak threshold value within \u00B1125dB!",
       {}},
      // A valid threshold applies after Esc as after Enter.
      {"threshold -20.5 cancelled", nullptr, f.txtThreshold, "-20.5", Qt::Key_Escape, nullptr,
       [&] {
         EXPECT_FLOAT_EQ(sel.MinPeakThreshold, -20.5f);
         EXPECT_EQ(f.txtThreshold->text(), "-20.500dB");
         EXPECT_EQ(f.txtThreshold->MaxLength(), 10);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    forms::DialogSeam::ClearShown();
    f.timerStatus_Timer();
    if (c.panel != nullptr)
      ClickPanel(f, c.panel);
    else
      f.txtThreshold->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), c.box);
    QTest::keyClicks(c.box, c.typed);
    QTest::keyClick(c.box, c.key);
    if (c.notice != nullptr) {
      EXPECT_EQ(Panel(f, "Status"), QString::fromUtf8(c.notice));
      EXPECT_TRUE(f.timerStatus->isActive());
      EXPECT_EQ(forms::DialogSeam::BeepCount(), 1);
      // The box keeps the focus for a correction.
      EXPECT_EQ(QApplication::focusWidget(), c.box);
      EXPECT_TRUE(c.box->isVisible());
      EXPECT_FALSE(f.Input().KeyPreview());
      // Corrected, and left without applying it.
      c.box->setText(c.box == f.txtFreq ? "70" : "1");
      QTest::keyClick(c.box, Qt::Key_Escape);
    } else {
      EXPECT_EQ(Panel(f, "Status"), "");
      c.check();
    }
    // The entry is over: the plot has the keyboard and the window its keys.
    EXPECT_EQ(QApplication::focusWidget(), f.picSpectrum);
    EXPECT_EQ(c.box->isVisible(), c.box == f.txtThreshold);
    EXPECT_TRUE(f.Input().KeyPreview());
  }
}

}  // namespace
}  // namespace specterm

// The GTK date picker under X: the calendar drops below its anchor with the right edges in line,
// a day of the shown month is the choice (posted with the time it was opened with), a page turn is
// not, and Escape, a click outside or Close end it without a choice.

#include "platform/gtk/gtk_date_picker.h"

#include "gtk_test_support.h"

namespace qrv::testing {
namespace {

constexpr UINT kMsgDate = WM_USER + 7;

class GtkDatePickerTest : public GtkPlatformTest {
 protected:
  void SetUp() override {
    GtkPlatformTest::SetUp();
    picker_ = GtkDatePicker::Current();
    ASSERT_NE(picker_, nullptr);
    owner_ = std::make_unique<TestWindow>(Toplevel(200, 150, 420, 320));
    owner_->on_message_ = [this](UINT msg, WPARAM, LPARAM lparam, LRESULT&) {
      if (msg == kMsgDate) {
        if (auto date = TakePayload<LocalDateTime>(lparam)) dates_.push_back(*date);
      }
      return false;
    };
    ShowAndWait(*owner_);
  }
  void TearDown() override {
    owner_.reset();
    GtkPlatformTest::TearDown();
  }

  void Drop() {
    picker_->Drop(owner_->hwnd(), kMsgDate, RECT{300, 200, 460, 228}, LocalDateTime{2013, 5, 20, 8, 30, 0});
    ASSERT_TRUE(WaitFor([&] {
      GtkWidget* popup = picker_->popup();
      return popup != nullptr && gtk_widget_get_mapped(popup);
    }));
    Settle(100);
  }
  bool Closed() {
    return WaitFor([&] { return !picker_->IsOpen(owner_->hwnd()); }, 3000);
  }

  GtkDatePicker* picker_ = nullptr;
  std::unique_ptr<TestWindow> owner_;
  std::vector<LocalDateTime> dates_;
};

TEST_F(GtkDatePickerTest, APickedDayIsPostedAndPageTurnsEscapeAndOutsideClicksAreNot) {
  Drop();
  EXPECT_TRUE(picker_->IsOpen(owner_->hwnd()));
  GdkWindow* surface = gtk_widget_get_window(picker_->popup());
  int x = 0;
  int y = 0;
  gdk_window_get_origin(surface, &x, &y);
  EXPECT_EQ(x + gdk_window_get_width(surface), 460) << "right edges in line";
  EXPECT_EQ(y, 228) << "just below the anchor";
  guint year = 0, month = 0, day = 0;
  gtk_calendar_get_date(picker_->calendar(), &year, &month, &day);
  EXPECT_EQ(year, 2013u);
  EXPECT_EQ(month, 4u);
  EXPECT_EQ(day, 20u);

  // The next month's page: the selected day moves with it, and that is no choice.
  ASSERT_TRUE(Xdotool("key ctrl+Right"));
  ASSERT_TRUE(WaitFor([&] {
    gtk_calendar_get_date(picker_->calendar(), &year, &month, &day);
    return month == 5u;
  })) << "the calendar has the keyboard while it is open";
  Settle(100);
  EXPECT_TRUE(dates_.empty());
  EXPECT_TRUE(picker_->IsOpen(owner_->hwnd()));

  // A day of the page shown is the choice: posted with the time of day, and the calendar goes.
  gtk_calendar_select_day(picker_->calendar(), 7);
  EXPECT_TRUE(Closed());
  ASSERT_TRUE(WaitFor([&] { return !dates_.empty(); }));
  EXPECT_EQ(dates_[0], (LocalDateTime{2013, 6, 7, 8, 30, 0}));

  // Escape: no choice.
  Drop();
  ASSERT_TRUE(Xdotool("key Escape"));
  EXPECT_TRUE(Closed());
  // A click outside: no choice, and the click goes no further.
  Drop();
  owner_->Clear();
  ASSERT_TRUE(Xdotool("mousemove 240 420 click 1"));
  EXPECT_TRUE(Closed());
  Settle(100);
  EXPECT_FALSE(owner_->Saw(WM_LBUTTONDOWN));
  // Closed by its owner, or replaced by another calendar of the same owner.
  Drop();
  picker_->Close(owner_->hwnd());
  EXPECT_FALSE(picker_->IsOpen(owner_->hwnd()));
  Drop();
  Drop();
  EXPECT_TRUE(picker_->IsOpen(owner_->hwnd()));
  picker_->Close(owner_->hwnd());
  Settle(100);
  EXPECT_EQ(dates_.size(), 1u);
  // The owner gets its clicks again once the calendar has gone.
  owner_->Clear();
  ASSERT_TRUE(Xdotool("mousemove 240 420 click 1"));
  EXPECT_TRUE(WaitFor([&] { return owner_->Saw(WM_LBUTTONDOWN); }));
}

}  // namespace
}  // namespace qrv::testing

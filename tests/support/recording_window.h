// RecordingWindow: a PostingWindow for tests. The banner's caption and visibility, the inputs
// and the adjustment panel are plain members; every call is recorded in order in `calls`.
#pragma once

#include <string>
#include <vector>

#include "ui/posting_window.h"

class RecordingWindow : public PostingWindow {
 public:
  void ShowBanner(const std::string& text) override {
    calls.push_back("ShowBanner(" + text + ")");
    banner_caption = text;
    banner_visible = true;
  }
  void HideBanner() override {
    calls.push_back("HideBanner");
    banner_visible = false;
  }
  void SetBannerCaption(const std::string& text) override {
    calls.push_back("SetBannerCaption(" + text + ")");
    banner_caption = text;
  }
  TDateTime StartDate() const override { return start_date; }
  TDateTime EndDate() const override { return end_date; }
  std::string Prefix() const override { return prefix; }
  std::string UserName() const override { return user_name; }
  void CloseWindow() override { calls.push_back("CloseWindow"); }
  bool AdjustmentPanelVisible() const override { return adjustment_panel_visible; }
  void ShowAdjustmentPanel() override {
    calls.push_back("ShowAdjustmentPanel");
    adjustment_panel_visible = true;
  }
  void HideAdjustmentPanel() override {
    calls.push_back("HideAdjustmentPanel");
    adjustment_panel_visible = false;
  }
  void FocusAdjustmentGrid() override { calls.push_back("FocusAdjustmentGrid"); }

  std::vector<std::string> calls;
  std::string banner_caption;
  bool banner_visible = false;
  TDateTime start_date = 0;
  TDateTime end_date = 0;
  std::string prefix;
  std::string user_name;
  bool adjustment_panel_visible = false;
};

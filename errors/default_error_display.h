// The default error display: how a failure that leaves an event handler is shown.
//
// The silent abort (EAbort) shows nothing. Any other failure shows its message text in the
// failure box of UiServices (application title, stop icon, OK), with one "." appended when the
// text is not empty and its last byte sorts after "." (so texts ending in a letter, digit,
// colon or accented letter get a period; ".", blank, "!", '"', ")", ",", "-" or a line break
// get none). Nothing is logged.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "ui/ui_services.h"

// The text as the box shows it.
std::string WithClosingPeriod(std::string_view text);

// Shows `failure` as described above. REQUIRES: failure is not null.
void ShowDefaultError(const std::exception_ptr& failure, UiServices& ui);

// Runs an event handler; a failure that leaves it goes to the default display and stops
// there, so whatever the handler had not yet done stays undone. Returns false when the
// handler failed (aborts included).
bool RunHandler(UiServices& ui, const std::function<void()>& handler);

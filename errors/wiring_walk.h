// The wiring walk: attaches the error handler to every provider and cached dataset that a
// component owns, at any depth, and sets the cached datasets' packet size.
#pragma once

class ErrorHandler;
class TComponent;

// Rows a wired cached dataset asks its provider for at a time.
inline constexpr int kWiredPacketRecords = 1000;

// Visits the components `owner` owns, first to last. One that owns components itself is walked
// in turn and left alone; otherwise a provider gets OnUpdateError := handler.ManejarError, and a
// cached dataset gets PacketRecords := kWiredPacketRecords and OnEditError, OnPostError and
// OnDeleteError := handler.ManejarClientError. Anything else is left alone.
// `handler` must outlive the components' events.
void ConfigurarProviders(TComponent& owner, ErrorHandler& handler);

// SPDX-License-Identifier: GPL-3.0-or-later
// A small companion for the end-to-end journeys, run on the journey's X
// display:
//   lumbra_e2e_xtool shot FILE.png   saves the whole screen as a PNG
//   lumbra_e2e_xtool grabbed         exits with 0 when another client holds
//                                    the keyboard grab, 1 when nobody does
//   lumbra_e2e_xtool tray            a notification area: owns the system tray
//                                    selection, embeds the icons that ask for
//                                    it, prints "ready" and runs until killed

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kRequestDock = 0;
constexpr uint16_t kIconSize = 22;

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

int RunTray() {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) return 1;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    xcb_screen_t* screen = it.data;

    const xcb_atom_t selection = Atom(c, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
    const xcb_atom_t manager = Atom(c, "MANAGER");
    const xcb_atom_t opcode = Atom(c, "_NET_SYSTEM_TRAY_OPCODE");

    // The area sits in the screen's bottom-right corner, out of the way of
    // the windows the journeys look at.
    const xcb_window_t area = xcb_generate_id(c);
    const uint32_t values[] = {screen->black_pixel, 1, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, area, screen->root,
                      static_cast<int16_t>(screen->width_in_pixels - kIconSize),
                      static_cast<int16_t>(screen->height_in_pixels - kIconSize), kIconSize,
                      kIconSize, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(c, area);
    xcb_set_selection_owner(c, area, selection, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    const bool owned = owner && owner->owner == area;
    std::free(owner);
    if (!owned) return 1;

    xcb_client_message_event_t announce{};
    announce.response_type = XCB_CLIENT_MESSAGE;
    announce.format = 32;
    announce.window = screen->root;
    announce.type = manager;
    announce.data.data32[0] = XCB_CURRENT_TIME;
    announce.data.data32[1] = selection;
    announce.data.data32[2] = area;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&announce));
    xcb_flush(c);
    std::puts("ready");
    std::fflush(stdout);

    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
            const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (m->type == opcode && m->data.data32[1] == kRequestDock) {
                const xcb_window_t icon = m->data.data32[2];
                xcb_reparent_window(c, icon, area, 0, 0);
                const uint32_t size[] = {kIconSize, kIconSize};
                xcb_configure_window(c, icon, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                     size);
                xcb_map_window(c, icon);
                xcb_flush(c);
            }
        }
        std::free(event);
    }
    xcb_disconnect(c);
    return 0;
}

int RunGrabbed() {
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) return 2;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
    xcb_grab_keyboard_reply_t* reply =
        xcb_grab_keyboard_reply(c,
                                xcb_grab_keyboard(c, 0, it.data->root, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr);
    const bool held = reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
    if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
    std::free(reply);
    xcb_disconnect(c);
    return held ? 0 : 1;
}

int RunShot(int argc, char** argv) {
    if (argc < 3) return 2;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 1;
    return screen->grabWindow(0).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "tray") return RunTray();
    if (mode == "shot") return RunShot(argc, argv);
    if (mode == "grabbed") return RunGrabbed();
    std::fputs("usage: lumbra_e2e_xtool shot FILE.png | grabbed | tray\n", stderr);
    return 2;
}

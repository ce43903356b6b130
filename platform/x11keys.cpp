#include "platform/x11keys.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr xcb_keysym_t kEscapeKeysym = 0xff1b;

// Every key code whose key carries the Escape symbol in any column.
std::vector<xcb_keycode_t> escapeKeycodes(xcb_connection_t* c)
{
    std::vector<xcb_keycode_t> codes;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply =
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, xcb_keycode_t(first), uint8_t(count)), nullptr);
    if (!reply)
        return codes;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    const int n = xcb_get_keyboard_mapping_keysyms_length(reply);
    for (int i = 0; i < n && perCode > 0; ++i)
        if (syms[i] == kEscapeKeysym) {
            const xcb_keycode_t code = xcb_keycode_t(first + i / perCode);
            if (codes.empty() || codes.back() != code)
                codes.push_back(code);
        }
    std::free(reply);
    return codes;
}

} // namespace

struct X11Keys::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    std::vector<xcb_keycode_t> escape;
};

std::unique_ptr<X11Keys> X11Keys::create()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* xcb = x11 ? x11->connection() : nullptr;
    if (!xcb || xcb_connection_has_error(xcb))
        return nullptr;
    auto c = std::make_unique<Connection>();
    c->xcb = xcb;
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(xcb));
    if (!screens.rem)
        return nullptr;
    c->root = screens.data->root;
    c->escape = escapeKeycodes(xcb);
    return std::unique_ptr<X11Keys>(new X11Keys(std::move(c)));
}

X11Keys::X11Keys(std::unique_ptr<Connection> c)
    : c_(std::move(c))
{
}

X11Keys::~X11Keys() = default;

bool X11Keys::escapeDown()
{
    if (c_->escape.empty() || xcb_connection_has_error(c_->xcb))
        return false;
    xcb_query_keymap_reply_t* map = xcb_query_keymap_reply(c_->xcb, xcb_query_keymap(c_->xcb), nullptr);
    if (!map)
        return false;
    bool down = false;
    for (const xcb_keycode_t code : c_->escape)
        down = down || (map->keys[code / 8] & (1u << (code % 8))) != 0;
    std::free(map);
    return down;
}

bool X11Keys::rightButtonDown()
{
    if (xcb_connection_has_error(c_->xcb))
        return false;
    xcb_query_pointer_reply_t* p = xcb_query_pointer_reply(c_->xcb, xcb_query_pointer(c_->xcb, c_->root), nullptr);
    if (!p)
        return false;
    const bool down = (p->mask & XCB_BUTTON_MASK_3) != 0;
    std::free(p);
    return down;
}

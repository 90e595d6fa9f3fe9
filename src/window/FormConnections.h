#pragma once
// The window's wiring of its controls and menu entries to their handlers.
// Each handler runs guarded (see Guarded.h): no error leaves it.
namespace zv {

class Form1;
class MessageBox;

class FormConnections {
public:
    // Connects every control and entry of `form` that is made when the
    // window is built; the media control's notices go to `messages`.
    static void Connect(Form1& form, MessageBox& messages);
};

} // namespace zv

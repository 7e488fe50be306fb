#pragma once
// The current gadget parent: new gadgets are created as children of the
// window made current here. Each window keeps its own gadget-list state
// (current parent and a stack of container windows), saved when another
// window becomes current and restored when it comes back.
namespace native {
struct Window;
}

// Makes `window` the current gadget parent and answers the previous one;
// with null it only answers the current one.
native::Window* use_gadget_list(native::Window* window);

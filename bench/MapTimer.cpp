// Starts a program and waits until it maps its first window on the display; prints the process
// id and the milliseconds from the start to that map, then ends, leaving the program running.
//   map_timer PROGRAM [ARGUMENTS...]
// The display is watched before the program starts, so nothing it maps can be missed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

int watchAndStart(xcb_connection_t* connection, char** command) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    // A round trip: the server has taken the mask before the program can map anything.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        // The program outlives this tool, whose output a reader may stop reading.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & ~0x80) == XCB_MAP_NOTIFY;
        std::free(event);
        if (!mapped)
            continue;
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start;
        std::printf("%d %.1f\n", int(child), elapsed.count());
        return 0;
    }
    std::fprintf(stderr, "map_timer: the display closed before anything was mapped\n");
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENTS...]\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "map_timer: cannot open the display\n");
        return 1;
    }
    const int status = watchAndStart(connection, argv + 1);
    xcb_disconnect(connection);
    return status;
}

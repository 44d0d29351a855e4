// Time from exec to the first tray icon asking to dock. It holds the X tray selection itself,
// as a notification area does, and stops at the first SYSTEM_TRAY_REQUEST_DOCK message, so
// nothing polls and the figure carries no sampling delay.
// Usage: dock-timer PROGRAM [ARGS...]; prints the milliseconds from exec, and the CPU time
// the program's threads had used by then (less disturbed by a busy machine), or fails after
// 10 s.
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// CPU time of every thread of `pid` so far, from the scheduler's own account.
double CpuMilliseconds(pid_t pid) {
  const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
  double total = 0;
  if (DIR* dir = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      if (FILE* f = std::fopen((tasks + "/" + entry->d_name + "/schedstat").c_str(), "r")) {
        unsigned long long ns = 0;
        if (std::fscanf(f, "%llu", &ns) == 1) total += static_cast<double>(ns) / 1e6;
        std::fclose(f);
      }
    }
    closedir(dir);
  }
  return total;
}

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
  std::free(reply);
  return atom;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dock-timer PROGRAM [ARGS...]\n");
    return 2;
  }
  int screenNumber = 0;
  xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(c)) return 1;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
  for (int i = 0; i < screenNumber; ++i) xcb_screen_next(&it);
  xcb_screen_t* screen = it.data;

  const xcb_atom_t selection = Atom(c, "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber));
  const xcb_atom_t opcode = Atom(c, "_NET_SYSTEM_TRAY_OPCODE");
  const xcb_atom_t manager = Atom(c, "MANAGER");
  const xcb_atom_t visual = Atom(c, "_NET_SYSTEM_TRAY_VISUAL");
  const xcb_window_t tray = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, tray, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, tray, visual, XCB_ATOM_VISUALID, 32, 1,
                      &screen->root_visual);
  xcb_set_selection_owner(c, tray, selection, XCB_CURRENT_TIME);
  xcb_client_message_event_t announce{};
  announce.response_type = XCB_CLIENT_MESSAGE;
  announce.format = 32;
  announce.window = screen->root;
  announce.type = manager;
  announce.data.data32[0] = XCB_CURRENT_TIME;
  announce.data.data32[1] = selection;
  announce.data.data32[2] = tray;
  xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&announce));
  xcb_flush(c);

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  // A program that never docks ends the measurement after 10 s.
  const auto deadline = start + std::chrono::seconds(10);
  int code = 1;
  pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
  while (code != 0 && std::chrono::steady_clock::now() < deadline) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      const bool message = (event->response_type & 0x7F) == XCB_CLIENT_MESSAGE;
      const auto* m = reinterpret_cast<xcb_client_message_event_t*>(event);
      if (code != 0 && message && m->type == opcode && m->data.data32[1] == 0) {
        const auto took = std::chrono::steady_clock::now() - start;
        std::printf("%.1f %.1f\n", std::chrono::duration<double, std::milli>(took).count(),
                    CpuMilliseconds(child));
        code = 0;
      }
      std::free(event);
    }
    if (code != 0) poll(&fd, 1, 100);
  }
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  xcb_disconnect(c);
  return code;
}

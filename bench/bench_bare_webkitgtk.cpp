// A bare WebKitGTK window with the browser's settings (an ephemeral context,
// software drawing), on an X server: the baseline the WebKitGTK browser is
// measured against.
//   bench_bare_webkitgtk ADDRESS
// prints what bench_startup prints (bench/startup.sh): the time from
// ZUVO_BENCH_T0 to the page's load, then, once the engine's processes have
// settled, the proportional memory of this process and every process below it.
//   bench_bare_webkitgtk --titles ADDRESS
// stays open and prints every title the page takes, one a line: the route
// by which bench pages report here (bench_input_webkitgtk, bench_webfeatures).
//   bench_bare_webkitgtk --find WORD ADDRESS
// prints the median time from a search to the count of its matches, with the
// calls and limit the browser's helper makes (bench_find_webkitgtk).
// With ZUVO_BENCH_SANDBOX=1 its web processes run in WebKit's sandbox, as the
// browser's do for any user but root.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// As long as bench_startup waits.
constexpr unsigned settleMs = 2000;

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

long long kibAfter(const std::string &path, const std::string &label)
{
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.compare(0, label.size(), label) == 0)
            return std::atoll(line.c_str() + label.size());
    }
    return 0;
}

// Proportional memory of this process and its descendants, and their number.
void treeMemory(long long &pssKiB, int &processes)
{
    std::map<long, long> parentOf;
    if (DIR *proc = opendir("/proc")) {
        while (dirent *entry = readdir(proc)) {
            const long pid = std::atol(entry->d_name);
            if (pid <= 0)
                continue;
            std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
            std::string line;
            std::getline(stat, line);
            const size_t close = line.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream fields(line.substr(close + 2));
            std::string state;
            long parent = 0;
            fields >> state >> parent;
            parentOf[pid] = parent;
        }
        closedir(proc);
    }
    pssKiB = 0;
    processes = 0;
    for (const auto &process : parentOf) {
        for (long at = process.first; at > 1; at = parentOf.count(at) ? parentOf[at] : 0) {
            if (at == getpid()) {
                pssKiB += kibAfter("/proc/" + std::to_string(process.first) + "/smaps_rollup", "Pss:");
                ++processes;
                break;
            }
        }
    }
}

struct Run {
    long long t0 = 0;
    double loadMs = 0;
    bool reported = false;
};

void onLoadChanged(WebKitWebView *, WebKitLoadEvent event, gpointer data)
{
    auto *run = static_cast<Run *>(data);
    if (event != WEBKIT_LOAD_FINISHED || run->reported)
        return;
    run->reported = true;
    run->loadMs = (nowNs() - run->t0) / 1e6;
    g_timeout_add(settleMs, [](gpointer data) -> gboolean {
        auto *run = static_cast<Run *>(data);
        long long pss = 0;
        int processes = 0;
        treeMemory(pss, processes);
        std::printf("load_ms %.1f ok 1 rss_kib %lld pss_kib %lld processes %d\n", run->loadMs,
                    kibAfter("/proc/self/status", "VmRSS:"), pss, processes);
        std::fflush(stdout);
        gtk_main_quit();
        return G_SOURCE_REMOVE;
    }, run);
}

void onTitle(WebKitWebView *view, GParamSpec *, gpointer)
{
    const char *title = webkit_web_view_get_title(view);
    std::printf("%s\n", title ? title : "");
    std::fflush(stdout);
}

// As the browser's helper searches: case-insensitive, wrapping, one past the
// count it shows.
constexpr unsigned findOptions = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
constexpr unsigned maxFindCount = 1001;
constexpr size_t findRuns = 9;

struct Find {
    std::string word;
    std::vector<double> times;
    long long start = 0;
    unsigned count = 0;
};

void searchOnce(WebKitFindController *finder, Find *find)
{
    find->start = nowNs();
    webkit_find_controller_search_finish(finder);
    webkit_find_controller_search(finder, find->word.c_str(), findOptions, maxFindCount);
    webkit_find_controller_count_matches(finder, find->word.c_str(), findOptions, maxFindCount);
}

void onCountedMatches(WebKitFindController *finder, guint count, gpointer data)
{
    auto *find = static_cast<Find *>(data);
    find->times.push_back((nowNs() - find->start) / 1e6);
    find->count = count;
    if (find->times.size() < findRuns) {
        searchOnce(finder, find);
        return;
    }
    std::sort(find->times.begin(), find->times.end());
    std::printf("search_to_count_ms %.2f matches %u\n", find->times[find->times.size() / 2], find->count);
    std::fflush(stdout);
    gtk_main_quit();
}

void onFindPageLoaded(WebKitWebView *view, WebKitLoadEvent event, gpointer data)
{
    if (event == WEBKIT_LOAD_FINISHED)
        searchOnce(webkit_web_view_get_find_controller(view), static_cast<Find *>(data));
}

} // namespace

int main(int argc, char *argv[])
{
    Run run;
    Find find;
    const char *t0 = std::getenv("ZUVO_BENCH_T0");
    run.t0 = t0 ? std::atoll(t0) : nowNs();
    gtk_init(&argc, &argv);
    const bool titles = argc == 3 && std::strcmp(argv[1], "--titles") == 0;
    const bool finding = argc == 4 && std::strcmp(argv[1], "--find") == 0;
    if (argc != 2 && !titles && !finding) {
        std::fprintf(stderr, "usage: %s [--titles | --find WORD] ADDRESS\n", argv[0]);
        return 2;
    }
    const char *address = argv[argc - 1];
    WebKitWebContext *context = webkit_web_context_new_ephemeral();
    // As the browser runs where WebKit's sandbox can start (not as root).
    if (std::getenv("ZUVO_BENCH_SANDBOX"))
        webkit_web_context_set_sandbox_enabled(context, TRUE);
    WebKitSettings *settings = webkit_settings_new();
    webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    auto *view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings", settings, nullptr));
    if (titles) {
        g_signal_connect(view, "notify::title", G_CALLBACK(onTitle), nullptr);
    } else if (finding) {
        find.word = argv[2];
        g_signal_connect(view, "load-changed", G_CALLBACK(onFindPageLoaded), &find);
        g_signal_connect(webkit_web_view_get_find_controller(view), "counted-matches", G_CALLBACK(onCountedMatches),
                         &find);
    } else {
        g_signal_connect(view, "load-changed", G_CALLBACK(onLoadChanged), &run);
    }
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window), 520, 850);
    gtk_container_add(GTK_CONTAINER(window), GTK_WIDGET(view));
    webkit_web_view_load_uri(view, address);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}

// Where the launcher's files are and where the browser keeps its profile.
#pragma once

#include <optional>
#include <string>

#include "config/path.h"

struct LaunchConfig {
    Path exe_dir;        // the executable's folder, or "." when it cannot be found
    Path loader_path;    // the WebView2 loader library beside the executable
    Path page_path;      // the start page beside the executable
    Path user_data_dir;  // the browser profile folder under the user's local application data
    std::string start_url;  // the start page's file: address
};

// Queries the executable's path and LOCALAPPDATA from Windows, then computes the rest.
LaunchConfig resolve_launch_config();

// The configuration for what the two queries reported; nothing means the query failed or the
// variable is not set.
LaunchConfig compute_launch_config(const std::optional<Path>& exe_path,
                                   const std::optional<std::u16string>& local_app_data);

// The start page's address as the browser reads it back: "%", "#" and "?" in folder names are
// escaped, verbatim prefixes are dropped and a UNC path keeps its server as the host.
std::string make_page_url(const Path& page_path);

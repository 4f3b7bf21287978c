// The plug-in's identity: the one place its name, version and author live.
// Plain macros, so that the version resource can use them too.
#pragma once

#define MARROWICK_NAME "Marrowick"
#define MARROWICK_VERSION_MAJOR 0
#define MARROWICK_VERSION_MINOR 0
#define MARROWICK_VERSION_PATCH 2
#define MARROWICK_VERSION "0.0.2"
#define MARROWICK_RELEASE_DATES "2004-12-20/2005-04-06"
#define MARROWICK_AUTHOR "The Marrowick developers"
#define MARROWICK_HOME_PAGE "https://marrowick.example.org/"
#define MARROWICK_EMAIL "marrowick@example.org"
#define MARROWICK_DESCRIPTION "Command-driven list of the host's tray icons"

// The queries pluginInfo answers; any other answers the name.
#define PLUGIN_NAME_QUERY 1
#define PLUGIN_VERSION_QUERY 2
#define PLUGIN_AUTHOR_QUERY 3
#define PLUGIN_RELEASE_DATES_QUERY 4
#define PLUGIN_HOME_PAGE_QUERY 5
#define PLUGIN_EMAIL_QUERY 6

// Built with every build, as a library linking the module: it reaches the
// log's public header and none of the log's private ones.
#if !__has_include("common/log/log.h")
#error the public header of the log is out of reach
#endif
#if __has_include("log_state.h") || __has_include("common/log/log_state.h") || __has_include("log/log_state.h")
#error a private header of the log is reachable
#endif

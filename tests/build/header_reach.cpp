// Built with every build, once for each library as its users see it and once
// as it sees itself (tests/build/header_reach.cmake): the list, made from the
// source tree, fails the build if a public header the library gives is out
// of reach or a private header it must not see is within it.
#include REACH_LIST

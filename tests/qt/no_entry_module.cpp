// A loadable module that is no plug-in: it lacks the entry point.
extern "C" int zarvik_not_a_plugin() { return 0; }

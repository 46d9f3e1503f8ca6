# What scripts/architecture-graph draws: the program's libraries and executables and the Qt
# modules they use, without tests, benchmarks and tools.
set(GRAPHVIZ_GRAPH_NAME "layers")
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "::moc$;::rcc$;^WrapAtomic;^Qt::Core$;^Qt::Gui$;_resources_;^tst_;^probe_;^zemra_probe$;^zemra_bench$;^zemra_testsupport$;^iconsizes$;^makepictures$;^screenshots$;^fuzz_;^Threads::;Platform$;OpenGL;^Qt6::Test$;^Qt6::DBus$;Xkb;^WrapVulkan")

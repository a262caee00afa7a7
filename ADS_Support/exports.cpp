// libtxads.so: the subsystems come from txads_core, linked whole; the version
// script exports only the TXAD functions.

/* Stands in for the scaler library: it has its version function and nothing else. */
unsigned swscale_version(void) { return 6u << 16; }

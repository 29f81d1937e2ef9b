/* Preloaded into the tests that scripts/check-sanitizers runs: dlclose does
 * nothing, so the libraries a test unloads (SDL unloads the OpenGL driver when
 * its window closes) are still mapped when LeakSanitizer names the owners of
 * the leaks at exit, and their leaks can be told apart from ours. */
int dlclose(void *handle)
{
    (void)handle;
    return 0;
}

# Sourced by the test launchers (with-*.sh): sets $private_namespace to the
# start of an `unshare` command line. Root needs only the namespaces the
# launcher asks for; anyone else also needs a user namespace, in which they
# are root.
if [ "$(id -u)" -eq 0 ]; then
    private_namespace="unshare --propagation private"
else
    private_namespace="unshare --map-root-user --propagation private"
fi

// The fakes are mostly header-only; this unit gives the library a body of its own.
namespace PendrelFakes {
int linked = 1;
}

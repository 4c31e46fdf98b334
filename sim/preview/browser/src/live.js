// The page as served by vorlix-sim preview --watch: it asks the server every half second whether
// the model changed. A new ride reloads the page, which then looks from where the author looked at
// the moment shown; a model that cannot be read shows why, over the last one that could.
const stateKey = 'vorlix-watch-view';
const pollEvery = 500;
const retryEvery = 2000;

export function followChanges(version, preview, showProblem) {
  const kept = sessionStorage.getItem(stateKey);
  sessionStorage.removeItem(stateKey);
  if (kept) preview.ready.then(() => preview.restoreView(JSON.parse(kept)));

  let shownVersion = version;
  async function poll() {
    let wait = pollEvery;
    try {
      const response = await fetch(`/ride?after=${shownVersion}`, { cache: 'no-store' });
      if (response.status === 200) {
        const state = await response.json();
        if (state.error !== undefined) {
          shownVersion = state.version;
          showProblem(
            `The model cannot be read: ${state.error}. The page shows the model as it last was, ` +
              'and takes it again when it is fixed.',
          );
        } else {
          await preview.ready.catch(() => {});
          try {
            sessionStorage.setItem(stateKey, JSON.stringify(preview.viewState()));
          } catch {
            // A model that was never shown has no view to keep.
          }
          window.location.reload();
          return;
        }
      } else if (response.status !== 204) {
        throw new Error(`the server answered ${response.status}`);
      }
    } catch (error) {
      showProblem(`vorlix-sim no longer answers (${error.message}): the page stays as it is.`);
      wait = retryEvery;
    }
    setTimeout(poll, wait);
  }
  setTimeout(poll, pollEvery);
}

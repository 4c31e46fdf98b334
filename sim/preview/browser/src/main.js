// The preview page: the model, moved render by render as the ride's data says, with the controls
// and the components' values; the ride's plots are in the page already. `window.vorlixPreview`
// lets tests drive and read it.
import { readPageData } from './data.js';
import { loadModel } from './model.js';
import { createPanel } from './panel.js';
import { createPlayer } from './player.js';
import { createPoser } from './pose.js';
import { createView } from './view.js';

function showProblem(text) {
  const element = document.getElementById('problem');
  element.hidden = false;
  element.textContent = text;
}

// The table and plots do not need the model: they stay when it cannot be shown.
function start() {
  const data = readPageData(document);
  const { renders } = data;
  let model;
  let poser;
  let view;
  let shown = -1;
  const player = createPlayer(renders, (k) => {
    shown = k;
    poser?.seek(k);
    panel.show(k);
    view?.requestRender();
  });
  const panel = createPanel(document, data, player, renders);
  player.seek(-1);

  const ready = loadModel(data.model).then((loaded) => {
    model = loaded;
    poser = createPoser(model, data.frames, data.axes, renders);
    view = createView(document.getElementById('viewport'), model);
    if (poser.nonFinite > 0) {
      showProblem(`${poser.nonFinite} frame rotations by an angle that is not finite are not shown.`);
    }
    poser.seek(shown);
    view.requestRender();
  });
  ready.catch((error) => showProblem(`${data.title}: the model cannot be shown: ${error.message ?? error}`));

  window.vorlixPreview = {
    ready,
    renders: renders.length,
    axesName: data.axes.name,
    seek: (k) => player.seek(k),
    nodeQuaternion: (node) => model.nodeObject(node).quaternion.toArray(),
    meshVisible: (node) => model.meshVisible(node),
  };
}

try {
  start();
} catch (error) {
  showProblem(`The preview's data cannot be read: ${error.message}`);
}

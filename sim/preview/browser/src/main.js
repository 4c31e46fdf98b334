// The preview page: the model, moved render by render as the ride's data says, with the controls
// and the components' values; the ride's plots are in the page already. `window.vorlixPreview`
// lets tests drive and read it.
import { readPageData } from './data.js';
import { loadModel } from './model.js';
import { createPanel } from './panel.js';
import { createPlayer } from './player.js';
import { createPoser } from './pose.js';
import { createView } from './view.js';
import { followChanges } from './live.js';

function showProblem(text) {
  const element = document.getElementById('problem');
  element.hidden = false;
  element.textContent = text;
}

function start() {
  const data = readPageData(document);
  const { renders } = data;
  let model;
  let player;
  let poser;
  let view;

  const ready = loadModel(data.model).then((loaded) => {
    model = loaded;
    poser = createPoser(model, data.frames, data.axes, renders);
    view = createView(document.getElementById('viewport'), model);
    player = createPlayer(renders, (k) => {
      poser.seek(k);
      panel.show(poser.shown);
      view.requestRender();
    });
    const panel = createPanel(document, data, player, renders);
    if (poser.nonFinite > 0) {
      showProblem(`${poser.nonFinite} frame rotations by an angle that is not finite are not shown.`);
    }
    player.seek(-1);
  });
  ready.catch((error) => showProblem(`The model cannot be shown: ${error.message ?? error}`));

  window.vorlixPreview = {
    ready,
    renders: renders.length,
    axesName: data.axes.name,
    seek: (k) => player.seek(k),
    nodeQuaternion: (node) => model.nodeObject(node).quaternion.toArray(),
    meshVisible: (node) => model.meshVisible(node),
    // Where the author looks from and which moment is shown, kept over a reload of the page.
    viewState: () => ({ camera: view.cameraState(), render: poser.shown, playing: player.playing }),
    restoreView(state) {
      view.setCameraState(state.camera);
      player.seek(state.render);
      if (state.playing) player.play();
    },
  };
  // Served by preview --watch: the page follows the model's changes.
  if (data.watch !== undefined) followChanges(data.watch, window.vorlixPreview, showProblem);
}

try {
  start();
} catch (error) {
  showProblem(`The preview's data cannot be read: ${error.message}`);
}

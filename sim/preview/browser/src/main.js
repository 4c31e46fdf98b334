// The preview page: the model, moved render by render as the ride's data says, with the controls
// and the components' values; the ride's plots are in the page already. `window.vorlixPreview`
// lets tests drive and read it.
import { readPageData } from './data.js';
import { rideMarks, showMarks } from './marks.js';
import { loadModel } from './model.js';
import { createPanel } from './panel.js';
import { createPlayer } from './player.js';
import { createPoser } from './pose.js';
import { createSelection } from './selection.js';
import { createView } from './view.js';
import { followChanges } from './live.js';

function showProblem(text) {
  const element = document.getElementById('problem');
  element.hidden = false;
  element.textContent = text;
}

const viewNames = ['reset', 'front', 'side', 'top', 'rider'];
// The components on the handlebar and the dash, which the rider view frames: not the foot
// controls, nor the chain.
const riderKeys = new Set(['vx_fbrake', 'vx_cl', 'vx_sm', 'vx_rpm', 'vx_gm', 'vx_om']);

// (Re)starts the page on a data object; returns what `window.vorlixPreview` offers. The table, the
// plots and the time slider do not need the model: they stay when it cannot be shown.
export function startPage(data) {
  const { renders } = data;
  let model;
  let poser;
  let view;
  let selection;
  let shown = -1;
  const marks = rideMarks(renders);

  // A frame chosen in the table, the warnings or the view: its part lit and framed, its rows marked.
  function choose(frame, { frameIt = true } = {}) {
    panel.choose(frame);
    selectNode(data.frames[frame]?.node, { frame: frameIt });
  }
  // The X-ray box shows whether x-ray is on, by the author's hand or for a hidden part.
  function selectNode(node, options) {
    if (!selection) return;
    selection.select(node, options);
    document.getElementById('xray').checked = selection.xray;
  }

  const player = createPlayer(renders, (k) => {
    shown = k;
    poser?.seek(k);
    panel.show(k);
    view?.requestRender();
  });
  const panel = createPanel(document, data, player, renders, (frame) => choose(frame));
  showMarks(document.getElementById('marks'), marks, renders.length, (k) => player.seek(k));
  player.seek(-1);

  const ready = loadModel(data.model).then((loaded) => {
    model = loaded;
    poser = createPoser(model, data.frames, data.axes, data.renderFlag, renders);
    view = createView(document.getElementById('viewport-canvas'), model, {
      axes: data.axes,
      rootNode: data.frames[0]?.node ?? -1,
      riderParts: data.components
        .filter((c) => riderKeys.has(c.key))
        .map((c) => model.nodeObject(data.frames[c.frame]?.node))
        .filter(Boolean),
    });
    selection = createSelection(model, view);
    // A click on a part chooses the nearest frame at or above it that a component drives or that
    // fills a component's slot, else the part alone.
    const frameOfNode = new Map(data.frames.map((frame, i) => [frame.node, i]));
    const choosable = new Set(
      data.components.flatMap((c) => [c.frame, ...(c.slots ?? []).flatMap((slot) => slot.frames)]),
    );
    selection.onPick((nodes) => {
      const node = nodes.find((n) => choosable.has(frameOfNode.get(n)));
      if (node !== undefined) return choose(frameOfNode.get(node), { frameIt: false });
      panel.choose(undefined);
      return selectNode(nodes[0]);
    });
    for (const name of viewNames) document.getElementById(`view-${name}`).onclick = () => view.setView(name);
    const xray = document.getElementById('xray');
    xray.onchange = () => {
      selection.xray = xray.checked;
    };
    if (poser.nonFinite > 0) {
      showProblem(`${poser.nonFinite} frame rotations by an angle that is not finite are not shown.`);
    }
    poser.seek(shown);
    view.requestRender();
  });
  ready.catch((error) => showProblem(`${data.title}: the model cannot be shown: ${error.message ?? error}`));

  return {
    ready,
    renders: renders.length,
    axesName: data.axes.name,
    seek: (k) => player.seek(k),
    nodeQuaternion: (node) => model.nodeObject(node).quaternion.toArray(),
    meshVisible: (node) => model.meshVisible(node),
    // The page's tools, as a click would use them.
    choose: (frame) => choose(frame),
    selectedNode: () => selection.selectedNode,
    setView: (name) => view.setView(name),
    onScreen: (node) => view.onScreen(model.nodeObject(node)),
    get camera() {
      return view.cameraState;
    },
    set camera(state) {
      view.cameraState = state;
    },
    setXray: (on) => {
      selection.xray = on;
    },
    xray: () => selection.xray,
    marks,
    // Where the author looks from and which moment is shown, kept over a reload of the page.
    viewState: () => ({ camera: view.cameraState, render: shown, playing: player.playing }),
    restoreView(state) {
      view.cameraState = state.camera;
      player.seek(state.render);
      if (state.playing) player.play();
    },
  };
}

try {
  const data = readPageData(document);
  window.vorlixPreview = startPage(data);
  // Served by preview --watch: the page follows the model's changes.
  if (data.watch !== undefined) followChanges(data.watch, window.vorlixPreview, showProblem);
} catch (error) {
  showProblem(`The preview's data cannot be read: ${error.message}`);
}
